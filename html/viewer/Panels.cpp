// Host panels in text: the window made for a PANEL or OBJECT tag, its size in the line and its
// place on the paint panel.
#include "html/viewer/Panels.h"

#include <algorithm>
#include <cstdlib>

#include "html/base/TextBuffers.h"
#include "html/layout/text/FontRuns.h"

namespace html {

namespace {

constexpr int32_t kParkedPos = -4000;  // created off screen until a paint places it
constexpr int32_t kStartWidth = 30;
constexpr int32_t kStartHeight = 20;
constexpr int64_t kMaxSpace = 40;
constexpr int32_t kMaxSide = 32767;
constexpr TColor kPanelColor = 0xFFFFFF;

int32_t Side(int64_t value) {
  return int32_t(std::clamp<int64_t>(value, 0, kMaxSide));
}

// a * b / c to the nearest pixel; a panel with no natural extent scales to nothing.
int32_t Scaled(int32_t a, int32_t b, int32_t c) {
  return c <= 0 ? 0 : Side(plat::MulDiv(Side(a), Side(b), c));
}

int32_t Spacing(int32_t value) {
  return int32_t(std::min<int64_t>(std::abs(int64_t(value)), kMaxSpace));
}

uint8_t AlignCode(const std::string& value, uint8_t current) {
  const std::string align = plat::UpperCase(value);
  if (align == "TOP") return aTop;
  if (align == "MIDDLE" || align == "ABSMIDDLE") return aMiddle;
  if (align == "LEFT") return aLeft;
  if (align == "RIGHT") return aRight;
  return current;
}

}  // namespace

TPanelObj::TPanelObj(TSectionList* document, bool skipEvent, TCellBasic*,
                     const TAttributeList& attributes, int32_t position)
    : Document(document), Panel(std::make_unique<ThvPanel>(nullptr)) {
  Pos = position;
  ThvPanel& panel = *Panel;
  panel.SetBounds(kParkedPos, kParkedPos, kStartWidth, kStartHeight);
  panel.SetParent(document ? document->PaintPanel : nullptr);
  panel.SetBevelOuter(plat::bvNone);
  panel.SetBorderStyle(plat::bsSingle);
  panel.SetColor(kPanelColor);
  ObjAlign = aBottom;

  std::string name, type, src;
  bool hasHSpace = false;
  int32_t hSpace = 0, vSpace = 0;
  for (const auto& attr : attributes) {
    switch (attr->Which) {
      case HeightSy:
        PercentHeight = attr->IsPercent() && attr->Value >= 1 && attr->Value <= 100;
        if (PercentHeight) {
          SpecHeight = attr->Value;
        } else {
          SpecHeight = std::max(1, Side(attr->Value));
          panel.SetHeight(SpecHeight);
        }
        break;
      case WidthSy:
        PercentWidth = attr->IsPercent();
        if (PercentWidth) {
          SpecWidth = std::clamp(attr->Value, 1, 100);
        } else {
          SpecWidth = Side(attr->Value);
          panel.SetWidth(SpecWidth);
        }
        break;
      case HSpaceSy:
        hasHSpace = true;
        hSpace = Spacing(attr->Value);
        break;
      case VSpaceSy:
        vSpace = Spacing(attr->Value);
        break;
      case NameSy:
        name = attr->Name;
        panel.SetName(name);
        break;
      case AltSy: {
        const size_t end = attr->Name.find_last_not_of("\r\n");
        AltText = end == std::string::npos ? std::string() : attr->Name.substr(0, end + 1);
        AltTextW = MultibyteToWide(attr->CodePage, AltText);
        break;
      }
      case AlignSy:
        ObjAlign = AlignCode(attr->Name, ObjAlign);
        break;
      case TypeSy:
        type = attr->Name;
        break;
      case SrcSy:
        src = attr->Name;
        break;
      default:
        break;
    }
  }
  HSpaceL = HSpaceR = hasHSpace ? hSpace : IsFloating() ? 3 : 0;
  VSpaceT = VSpaceB = vSpace;

  panel.SetCaption("");
  if (!skipEvent && document && document->PanelCreate)
    document->PanelCreate(document->Viewer, name, type, src, &panel);
  PanelWidth = panel.Width();
  PanelHeight = panel.Height();
  if (document) document->Panels.push_back(this);
}

TPanelObj::~TPanelObj() {
  if (!Document) return;
  std::erase(Document->Panels, static_cast<TPageWindowObj*>(this));
  if (Document->PanelDestroy) Document->PanelDestroy(Document->Viewer, Panel.get());
}

void TPanelObj::ComputeSize(plat::TCanvas&, int32_t availWidth, int32_t heightBase,
                            const TMyFont&) {
  if (SizeKnown && !PercentWidth && !PercentHeight) return;
  const bool widthGiven = SpecWidth >= 0, heightGiven = SpecHeight >= 0;
  if (PercentWidth) {
    ImageWidth = Scaled(availWidth, SpecWidth, 100);
    if (PercentHeight)
      ImageHeight = Scaled(heightBase, SpecHeight, 100);
    else
      ImageHeight = heightGiven ? Side(SpecHeight) : Scaled(ImageWidth, PanelHeight, PanelWidth);
  } else if (PercentHeight) {
    ImageHeight = Scaled(heightBase, SpecHeight, 100);
    ImageWidth = widthGiven ? Side(SpecWidth) : Scaled(ImageHeight, PanelWidth, PanelHeight);
  } else {
    if (widthGiven && heightGiven) {
      ImageWidth = Side(SpecWidth);
      ImageHeight = Side(SpecHeight);
    } else if (heightGiven) {
      ImageHeight = Side(SpecHeight);
      ImageWidth = Scaled(ImageHeight, PanelWidth, PanelHeight);
    } else if (widthGiven) {
      ImageWidth = Side(SpecWidth);
      ImageHeight = Scaled(ImageWidth, PanelHeight, PanelWidth);
    } else {
      ImageWidth = PanelWidth;
      ImageHeight = PanelHeight;
    }
    SizeKnown = true;
  }
  if (ImageWidth > 0 && ImageHeight > 0)
    Panel->SetBounds(Panel->Left(), Panel->Top(), ImageWidth, ImageHeight);
}

void TPanelObj::DrawInline(plat::TCanvas&, const TInlinePlace& place) {
  int32_t y = 0;
  switch (ObjAlign) {
    case aTop:
      y = place.TextTop + VSpaceT;
      break;
    case aMiddle:
      y = place.LineBottom - place.Run.TextHeight() / 2 - (ImageHeight - VSpaceT + VSpaceB) / 2;
      break;
    default:  // baseline and bottom
      y = place.Baseline - ImageHeight - VSpaceB;
      break;
  }
  PlaceWindow(place.X + HSpaceL, y);
}

void TPanelObj::DrawFloat(plat::TCanvas&, int32_t x, int32_t top) {
  PlaceWindow(x, top);
}

void TPanelObj::PlaceWindow(int32_t x, int32_t y) {
  ShowIt = true;
  Panel->SetBounds(x, y, Panel->Width(), Panel->Height());
  Panel->SetVisible(Panel->ShowPanel != 0);
}

}  // namespace html
