// The engine's controls as the editor's stored layouts name them.
#include "app/mainwindow/MainUnit.h"
#include "html/viewer/PageViewer.h"
#include "platform/runtime/Components.h"
#include "platform/runtime/TypInfo.h"

namespace app {
namespace {

const plat::TEnumInfo& Enum(std::string name, std::vector<std::string> names) {
  static std::vector<std::unique_ptr<plat::TEnumInfo>> infos;
  infos.push_back(std::make_unique<plat::TEnumInfo>(plat::TEnumInfo{name, std::move(names)}));
  return *infos.back();
}

void RegisterGaugeBar() {
  using gfx::TGaugeBar;
  plat::TClassRegistrar<TGaugeBar, plat::TCustomControl>("TGaugeBar")
      .Prop("Min", plat::tkInteger, &TGaugeBar::Min, &TGaugeBar::SetMin)
      .Prop("Max", plat::tkInteger, &TGaugeBar::Max, &TGaugeBar::SetMax)
      .Prop("Position", plat::tkInteger, &TGaugeBar::Position, &TGaugeBar::SetPosition)
      .Prop("LargeChange", plat::tkInteger, &TGaugeBar::LargeChange, &TGaugeBar::SetLargeChange)
      .Prop("SmallChange", plat::tkInteger, &TGaugeBar::SmallChange, &TGaugeBar::SetSmallChange)
      .Prop("HandleSize", plat::tkInteger, &TGaugeBar::HandleSize, &TGaugeBar::SetHandleSize)
      .Prop("ShowHandleGrip", plat::tkEnumeration, &TGaugeBar::ShowHandleGrip,
            &TGaugeBar::SetShowHandleGrip, &plat::BooleanInfo())
      .Prop("Backgnd", plat::tkEnumeration, &TGaugeBar::Backgnd, &TGaugeBar::SetBackgnd,
            &Enum("TRBBackgnd", {"bgPattern", "bgSolid"}))
      .Event("OnChange", &TGaugeBar::OnChange)
      .Event("OnUserChange", &TGaugeBar::OnUserChange);
  plat::RegisterComponentClass<TGaugeBar>("TGaugeBar");
}

// What the image control and the image view share.
void RegisterCustomImage() {
  using gfx::TCustomImage32;
  plat::TClassRegistrar<TCustomImage32, plat::TCustomControl>("TCustomImage32")
      .Object("Bitmap", &TCustomImage32::Bitmap)
      .Prop("BitmapAlign", plat::tkEnumeration, &TCustomImage32::BitmapAlign,
            &TCustomImage32::SetBitmapAlign,
            &Enum("TBitmapAlign", {"baTopLeft", "baCenter", "baTile", "baCustom"}))
      .Prop("RepaintMode", plat::tkEnumeration, &TCustomImage32::RepaintMode,
            &TCustomImage32::SetRepaintMode,
            &Enum("TRepaintMode", {"rmFull", "rmDirect", "rmOptimizer"}))
      .Prop("ScaleMode", plat::tkEnumeration, &TCustomImage32::ScaleMode,
            &TCustomImage32::SetScaleMode,
            &Enum("TScaleMode",
                  {"smNormal", "smStretch", "smScale", "smResize", "smOptimal", "smOptimalScaled"}))
      .Prop("Scale", plat::tkFloat, &TCustomImage32::Scale, &TCustomImage32::SetScale)
      .Prop("AutoSize", plat::tkEnumeration, &TCustomImage32::AutoSize,
            &TCustomImage32::SetAutoSize, &plat::BooleanInfo())
      // The image's own mouse events carry the layer under the pointer.
      .Event("OnMouseDown", &TCustomImage32::OnMouseDown)
      .Event("OnMouseMove", &TCustomImage32::OnMouseMove)
      .Event("OnMouseUp", &TCustomImage32::OnMouseUp)
      .Event("OnPaintStage", &TCustomImage32::OnPaintStage)
      .Event("OnBitmapResize", &TCustomImage32::OnBitmapResize)
      .Event("OnScaleChanged", &TCustomImage32::OnScaleChanged)
      .Event("OnChange", &TCustomImage32::OnChange);
}

void RegisterImage() {
  plat::TClassRegistrar<gfx::TImage32, gfx::TCustomImage32>("TImage32");
  plat::RegisterComponentClass<gfx::TImage32>("TImage32");
}

void RegisterImgView() {
  using gfx::TImgView32;
  plat::TClassRegistrar<TImgView32, gfx::TCustomImage32>("TImgView32")
      .Prop("ScrollBarSize", plat::tkInteger, &TImgView32::ScrollBarSize,
            &TImgView32::SetScrollBarSize)
      .Prop("ScrollBarVisibility", plat::tkEnumeration, &TImgView32::ScrollBarVisibility,
            &TImgView32::SetScrollBarVisibility,
            &Enum("TScrollBarVisibility", {"svAlways", "svHidden", "svAuto"}))
      .Event("OnScroll", &TImgView32::OnScroll);
  plat::RegisterComponentClass<TImgView32>("TImgView32");
}

}  // namespace

void RegisterEditorControlClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  plat::RegisterControlProperties();
  html::RegisterPageViewerClass();
  // Left alone when the engine registers its controls itself.
  if (!plat::FindComponentClass("TGaugeBar")) RegisterGaugeBar();
  if (!plat::FindComponentClass("TImgView32")) {
    RegisterCustomImage();
    RegisterImage();
    RegisterImgView();
  }
}

}  // namespace app
