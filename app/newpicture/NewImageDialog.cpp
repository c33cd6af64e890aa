#include "app/newpicture/NewImageDialog.h"

#include <string_view>

namespace app {
namespace {

struct TSizePreset {
  std::string_view Width, Height;
};

constexpr TSizePreset HD{"1280", "720"}, FullHD{"1920", "1080"}, UHD4K{"3840", "2160"},
    UHD5K{"5760", "3240"};

}  // namespace

TNewImageForm::TNewImageForm(plat::TComponent* owner) : plat::TForm(owner) {
  LoadFromLayout("NewImage", plat::TFormBindings()
                                 .Handler("btSelectClick", this, &TNewImageForm::btSelectClick)
                                 .Handler("PresetClick", this, &TNewImageForm::PresetClick)
                                 .Field("lbWidth", lbWidth)
                                 .Field("ImageWidth", ImageWidth)
                                 .Field("btUpDownWidth", btUpDownWidth)
                                 .Field("lbWidthUnit", lbWidthUnit)
                                 .Field("lbHeight", lbHeight)
                                 .Field("ImageHeight", ImageHeight)
                                 .Field("btUpDownHeight", btUpDownHeight)
                                 .Field("lbHeightUnit", lbHeightUnit)
                                 .Field("lbBackgroundColor", lbBackgroundColor)
                                 .Field("pnColor", pnColor)
                                 .Field("btSelect", btSelect)
                                 .Field("ColorDialog", ColorDialog)
                                 .Field("ButtonHD", ButtonHD)
                                 .Field("ButtonFullHD", ButtonFullHD)
                                 .Field("Button4K", Button4K)
                                 .Field("Button5K", Button5K)
                                 .Field("btOK", btOK)
                                 .Field("btCancel", btCancel));
}

void TNewImageForm::btSelectClick(plat::TObject*) {
  ColorDialog->SetColor(pnColor->Color());
  if (ColorDialog->Execute()) pnColor->SetColor(ColorDialog->Color());
}

void TNewImageForm::PresetClick(plat::TObject* Sender) {
  const TSizePreset* preset = Sender == ButtonHD       ? &HD
                              : Sender == ButtonFullHD ? &FullHD
                              : Sender == Button4K     ? &UHD4K
                              : Sender == Button5K     ? &UHD5K
                                                       : nullptr;
  if (!preset) return;
  ImageWidth->SetText(std::string(preset->Width));
  ImageHeight->SetText(std::string(preset->Height));
}

}  // namespace app
