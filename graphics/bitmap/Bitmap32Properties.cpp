#include "graphics/bitmap/Bitmap32Properties.h"

#include "graphics/bitmap/Bitmap32.h"
#include "platform/runtime/TypInfo.h"

namespace gfx {

void RegisterBitmap32Properties() {
  using plat::tkEnumeration;
  using plat::tkInteger;
  using plat::tkString;
  static const plat::TEnumInfo drawMode{"TDrawMode",
                                        {"dmOpaque", "dmBlend", "dmCustom", "dmTransparent"}};
  static const plat::TEnumInfo combineMode{"TCombineMode", {"cmBlend", "cmMerge"}};
  static const plat::TEnumInfo wrapMode{"TWrapMode", {"wmClamp", "wmRepeat", "wmMirror"}};
  plat::TClassRegistrar<TCustomBitmap32, plat::TPersistent>("TCustomBitmap32")
      .Prop("DrawMode", tkEnumeration, &TCustomBitmap32::DrawMode, &TCustomBitmap32::SetDrawMode,
            &drawMode)
      .Prop("CombineMode", tkEnumeration, &TCustomBitmap32::CombineMode,
            &TCustomBitmap32::SetCombineMode, &combineMode)
      .Prop("WrapMode", tkEnumeration, &TCustomBitmap32::WrapMode, &TCustomBitmap32::SetWrapMode,
            &wrapMode)
      .Prop("MasterAlpha", tkInteger, &TCustomBitmap32::MasterAlpha,
            &TCustomBitmap32::SetMasterAlpha)
      .Prop("OuterColor", tkInteger, &TCustomBitmap32::OuterColor, &TCustomBitmap32::SetOuterColor)
      .Prop("ResamplerClassName", tkString, &TCustomBitmap32::ResamplerClassName,
            &TCustomBitmap32::SetResamplerClassName)
      .Event("OnChange", &TCustomBitmap32::OnChange)
      .Event("OnPixelCombine", &TCustomBitmap32::OnPixelCombine)
      .Event("OnAreaChanged", &TCustomBitmap32::OnAreaChanged)
      .Event("OnResize", &TCustomBitmap32::OnResize);
  plat::TClassRegistrar<TBitmap32, TCustomBitmap32>("TBitmap32")
      .Event("OnHandleChanged", &TBitmap32::OnHandleChanged);
}

}  // namespace gfx
