// The viewer as stored window layouts name it, with the properties they set.
#include <memory>
#include <vector>

#include "html/viewer/PageViewer.h"
#include "platform/drawing/Colors.h"
#include "platform/runtime/Components.h"
#include "platform/runtime/TypInfo.h"

namespace html {

namespace {

const plat::TEnumInfo& Enum(std::string name, std::vector<std::string> names) {
  static std::vector<std::unique_ptr<plat::TEnumInfo>> infos;
  infos.push_back(std::make_unique<plat::TEnumInfo>(plat::TEnumInfo{name, std::move(names)}));
  return *infos.back();
}

bool ColorIdent(std::string_view ident, int64_t& value) {
  plat::TColor color = 0;
  if (!plat::IdentToColor(ident, color)) return false;
  value = color;
  return true;
}

}  // namespace

void RegisterPageViewerClass() {
  if (plat::FindComponentClass("TPageViewer")) return;
  plat::RegisterControlProperties();
  using V = TPageViewer;
  plat::TClassRegistrar<V, plat::TCustomControl>("TPageViewer")
      .Prop("ViewImages", plat::tkEnumeration, &V::ViewImages, &V::SetViewImages,
            &plat::BooleanInfo())
      .Prop("DefBackground", plat::tkInteger, &V::DefBackground, &V::SetDefBackground)
      .Idents(ColorIdent)
      .Prop("BorderStyle", plat::tkEnumeration, &V::BorderStyle,
            static_cast<void (V::*)(THTMLBorderStyle)>(&V::SetBorderStyle),
            &Enum("THTMLBorderStyle", {"htFocused", "htNone", "htSingle"}))
      .Prop("HistoryMaxCount", plat::tkInteger, &V::HistoryMaxCount, &V::SetHistoryMaxCount)
      .Prop("DefFontName", plat::tkString, &V::DefFontName, &V::SetDefFontName)
      .Prop("DefPreFontName", plat::tkString, &V::DefPreFontName, &V::SetDefPreFontName)
      .Prop("DefFontSize", plat::tkInteger, &V::DefFontSize, &V::SetDefFontSize)
      .Prop("DefFontColor", plat::tkInteger, &V::DefFontColor, &V::SetDefFontColor)
      .Idents(ColorIdent)
      .Prop("DefHotSpotColor", plat::tkInteger, &V::DefHotSpotColor, &V::SetDefHotSpotColor)
      .Idents(ColorIdent)
      .Prop("DefVisitedLinkColor", plat::tkInteger, &V::DefVisitedLinkColor,
            &V::SetDefVisitedLinkColor)
      .Idents(ColorIdent)
      .Prop("DefOverLinkColor", plat::tkInteger, &V::DefOverLinkColor, &V::SetDefOverLinkColor)
      .Idents(ColorIdent)
      .Prop("VisitedMaxCount", plat::tkInteger, &V::VisitedMaxCount, &V::SetVisitedMaxCount)
      .Prop("ImageCacheCount", plat::tkInteger, &V::ImageCacheCount, &V::SetImageCacheCount)
      .Prop("NoSelect", plat::tkEnumeration, &V::NoSelect, &V::SetNoSelect, &plat::BooleanInfo())
      .Prop("ScrollBars", plat::tkEnumeration, &V::ScrollBars, &V::SetScrollBars,
            &Enum("TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}))
      .Prop("CharSet", plat::tkInteger, &V::CharSet, &V::SetCharSet)
      .Prop("MarginHeight", plat::tkInteger, &V::MarginHeight, &V::SetMarginHeight)
      .Prop("MarginWidth", plat::tkInteger, &V::MarginWidth, &V::SetMarginWidth)
      .Prop("ServerRoot", plat::tkString, &V::ServerRoot, &V::SetServerRoot)
      .Prop("PrintMarginLeft", plat::tkFloat, &V::PrintMarginLeft, &V::SetPrintMarginLeft)
      .Prop("PrintMarginRight", plat::tkFloat, &V::PrintMarginRight, &V::SetPrintMarginRight)
      .Prop("PrintMarginTop", plat::tkFloat, &V::PrintMarginTop, &V::SetPrintMarginTop)
      .Prop("PrintMarginBottom", plat::tkFloat, &V::PrintMarginBottom, &V::SetPrintMarginBottom)
      .Prop("PrintScale", plat::tkFloat, &V::PrintScale, &V::SetPrintScale)
      .Prop(
          "htOptions", plat::tkSet, &V::htOptions, &V::SethtOptions,
          &Enum("htOptionEnum", {"htOverLinksActive", "htNoLinkUnderline", "htPrintTableBackground",
                                 "htPrintBackground", "htPrintMonochromeBlack", "htShowDummyCaret",
                                 "htShowVScroll", "htNoWheelMouse", "htNoLinkHilite"}))
      .Prop("Cursor", plat::tkInteger, &V::Cursor, &V::SetCursor)
      .Idents(plat::IdentToCursor)
      .ReadOnly("TitleAttr", plat::tkString, &V::TitleAttr)
      .Event("OnHotSpotClick", &V::OnHotSpotClick)
      .Event("OnHotSpotCovered", &V::OnHotSpotCovered)
      .Event("OnBitmapRequest", &V::OnBitmapRequest, &V::SetOnBitmapRequest)
      .Event("OnImageRequest", &V::OnImageRequest, &V::SetOnImageRequest)
      .Event("OnScript", &V::OnScript, &V::SetOnScript)
      .Event("OnFormSubmit", &V::OnFormSubmit, &V::SetOnFormSubmit)
      .Event("OnHistoryChange", &V::OnHistoryChange)
      .Event("OnProgress", &V::OnProgress)
      .Event("OnProcessing", &V::OnProcessing)
      .Event("OnPrintHeader", &V::OnPrintHeader)
      .Event("OnPrintFooter", &V::OnPrintFooter)
      .Event("OnPrintHTMLHeader", &V::OnPrintHTMLHeader)
      .Event("OnPrintHTMLFooter", &V::OnPrintHTMLFooter)
      .Event("OnInclude", &V::OnInclude)
      .Event("OnSoundRequest", &V::OnSoundRequest)
      .Event("OnMeta", &V::OnMeta)
      .Event("OnLink", &V::OnLink)
      .Event("OnMetaRefresh", &V::OnMetaRefresh)
      .Event("OnImageClick", &V::OnImageClick)
      .Event("OnImageOver", &V::OnImageOver)
      .Event("OnFileBrowse", &V::OnFileBrowse, &V::SetOnFileBrowse)
      .Event("OnObjectClick", &V::OnObjectClick, &V::SetOnObjectClick)
      .Event("OnObjectFocus", &V::OnObjectFocus, &V::SetOnObjectFocus)
      .Event("OnObjectBlur", &V::OnObjectBlur, &V::SetOnObjectBlur)
      .Event("OnObjectChange", &V::OnObjectChange, &V::SetOnObjectChange)
      .Event("OnRightClick", &V::OnRightClick)
      .Event("OnMouseDouble", &V::OnMouseDouble)
      .Event("OnPanelCreate", &V::OnPanelCreate, &V::SetOnPanelCreate)
      .Event("OnPanelDestroy", &V::OnPanelDestroy, &V::SetOnPanelDestroy)
      .Event("OnPanelPrint", &V::OnPanelPrint)
      .Event("OnhtStreamRequest", &V::OnhtStreamRequest, &V::SetOnhtStreamRequest)
      .Event("OnParseBegin", &V::OnParseBegin)
      .Event("OnParseEnd", &V::OnParseEnd)
      .Event("OnObjectTag", &V::OnObjectTag, &V::SetOnObjectTag);
  plat::RegisterComponentClass<V>("TPageViewer");
}

}  // namespace html
