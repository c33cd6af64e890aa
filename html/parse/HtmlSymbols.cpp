#include "html/parse/HtmlSymbols.h"

#include <array>
#include <span>
#include <string_view>

namespace html {

namespace {

struct TNamedSymbol {
  std::string_view Name;
  Symb Sy;
};

// Tag names in table order; the first kTagsWithEnd have end symbols.
constexpr std::array<TNamedSymbol, kTagCount> kTags = {{
    {"HTML", HtmlSy},
    {"TITLE", TitleSy},
    {"BODY", BodySy},
    {"HEAD", HeadSy},
    {"B", BSy},
    {"I", ISy},
    {"H", HSy},
    {"EM", EmSy},
    {"STRONG", StrongSy},
    {"U", USy},
    {"CITE", CiteSy},
    {"VAR", VarSy},
    {"TT", TTSy},
    {"CODE", CodeSy},
    {"KBD", KbdSy},
    {"SAMP", SampSy},
    {"OL", OLSy},
    {"UL", ULSy},
    {"DIR", DirSy},
    {"MENU", MenuSy},
    {"DL", DLSy},
    {"A", ASy},
    {"ADDRESS", AddressSy},
    {"BLOCKQUOTE", BlockQuoteSy},
    {"PRE", PreSy},
    {"CENTER", CenterSy},
    {"TABLE", TableSy},
    {"TD", TDSy},
    {"TH", THSy},
    {"CAPTION", CaptionSy},
    {"FORM", FormSy},
    {"TEXTAREA", TextAreaSy},
    {"SELECT", SelectSy},
    {"OPTION", OptionSy},
    {"FONT", FontSy},
    {"SUB", SubSy},
    {"SUP", SupSy},
    {"BIG", BigSy},
    {"SMALL", SmallSy},
    {"P", PSy},
    {"MAP", MapSy},
    {"FRAMESET", FrameSetSy},
    {"NOFRAMES", NoFramesSy},
    {"SCRIPT", ScriptSy},
    {"DIV", DivSy},
    {"S", SSy},
    {"STRIKE", StrikeSy},
    {"TR", TRSy},
    {"NOBR", NoBrSy},
    {"STYLE", StyleSy},
    {"SPAN", SpanSy},
    {"COLGROUP", ColGroupSy},
    {"LABEL", LabelSy},
    {"THEAD", THeadSy},
    {"TBODY", TBodySy},
    {"TFOOT", TFootSy},
    {"OBJECT", ObjectSy},
    {"LI", LISy},
    {"BR", BRSy},
    {"HR", HRSy},
    {"DD", DDSy},
    {"DT", DTSy},
    {"IMG", ImageSy},
    {"BASE", BaseSy},
    {"BUTTON", ButtonSy},
    {"INPUT", InputSy},
    {"SELECTED", SelectedSy},
    {"BASEFONT", BaseFontSy},
    {"AREA", AreaSy},
    {"FRAME", FrameSy},
    {"PAGE", PageSy},
    {"BGSOUND", BgSoundSy},
    {"WRAP", WrapSy},
    {"META", MetaSy},
    {"PANEL", PanelSy},
    {"WBR", WbrSy},
    {"LINK", LinkSy},
    {"COL", ColSy},
    {"PARAM", ParamSy},
    {"READONLY", ReadonlySy},
}};

// Attribute names in search order (VALUE appears twice; the first match wins).
constexpr std::array<TNamedSymbol, kAttributeCount> kAttributes = {{
    {"HREF", HrefSy},
    {"NAME", NameSy},
    {"SRC", SrcSy},
    {"ALT", AltSy},
    {"ALIGN", AlignSy},
    {"TEXT", TextSy},
    {"BGCOLOR", BGColorSy},
    {"LINK", LinkSy},
    {"BACKGROUND", BackgroundSy},
    {"COLSPAN", ColSpanSy},
    {"ROWSPAN", RowSpanSy},
    {"BORDER", BorderSy},
    {"CELLPADDING", CellPaddingSy},
    {"CELLSPACING", CellSpacingSy},
    {"VALIGN", VAlignSy},
    {"WIDTH", WidthSy},
    {"START", StartSy},
    {"VALUE", ValueSy},
    {"TYPE", TypeSy},
    {"CHECKBOX", CheckBoxSy},
    {"RADIO", RadioSy},
    {"METHOD", MethodSy},
    {"ACTION", ActionSy},
    {"CHECKED", CheckedSy},
    {"SIZE", SizeSy},
    {"MAXLENGTH", MaxLengthSy},
    {"COLS", ColsSy},
    {"ROWS", RowsSy},
    {"MULTIPLE", MultipleSy},
    {"VALUE", ValueSy},
    {"SELECTED", SelectedSy},
    {"FACE", FaceSy},
    {"COLOR", ColorSy},
    {"TRANSP", TranspSy},
    {"CLEAR", ClearSy},
    {"ISMAP", IsMapSy},
    {"BORDERCOLOR", BorderColorSy},
    {"USEMAP", UseMapSy},
    {"SHAPE", ShapeSy},
    {"COORDS", CoordsSy},
    {"NOHREF", NoHrefSy},
    {"HEIGHT", HeightSy},
    {"PLAIN", PlainSy},
    {"TARGET", TargetSy},
    {"NORESIZE", NoResizeSy},
    {"SCROLLING", ScrollingSy},
    {"HSPACE", HSpaceSy},
    {"LANGUAGE", LanguageSy},
    {"FRAMEBORDER", FrameBorderSy},
    {"MARGINWIDTH", MarginWidthSy},
    {"MARGINHEIGHT", MarginHeightSy},
    {"LOOP", LoopSy},
    {"ONCLICK", OnClickSy},
    {"WRAP", WrapSy},
    {"NOSHADE", NoShadeSy},
    {"HTTP-EQUIV", HttpEqSy},
    {"CONTENT", ContentSy},
    {"ENCTYPE", EncTypeSy},
    {"VLINK", VLinkSy},
    {"OLINK", OLinkSy},
    {"ACTIVE", ActiveSy},
    {"VSPACE", VSpaceSy},
    {"CLASS", ClassSy},
    {"ID", IDSy},
    {"STYLE", StyleSy},
    {"REL", RelSy},
    {"REV", RevSy},
    {"NOWRAP", NoWrapSy},
    {"BORDERCOLORLIGHT", BorderColorLightSy},
    {"BORDERCOLORDARK", BorderColorDarkSy},
    {"CHARSET", CharSetSy},
    {"RATIO", RatioSy},
    {"TITLE", TitleSy},
    {"ONFOCUS", OnFocusSy},
    {"ONBLUR", OnBlurSy},
    {"ONCHANGE", OnChangeSy},
    {"SPAN", SpanSy},
    {"TABINDEX", TabIndexSy},
    {"BGPROPERTIES", BGPropertiesSy},
    {"DISABLED", DisabledSy},
    {"TOPMARGIN", TopMarginSy},
    {"LEFTMARGIN", LeftMarginSy},
    {"LABEL", LabelSy},
    {"READONLY", ReadonlySy},
}};

std::string Lower(std::string_view name) {
  std::string result(name);
  for (char& c : result)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return result;
}

bool FindIn(std::span<const TNamedSymbol> table, const std::string& name, Symb& sy) {
  for (const TNamedSymbol& entry : table)
    if (entry.Name == name) {
      sy = entry.Sy;
      return true;
    }
  return false;
}

}  // namespace

std::string SymbToStr(Symb sy) {
  return sy < kTagCount ? Lower(kTags[sy].Name) : std::string();
}

std::string EndSymbToStr(Symb sy) {
  return sy >= HtmlEndSy && sy <= ObjectEndSy ? Lower(kTags[sy - HtmlEndSy].Name) : std::string();
}

Symb EndSymbFromSymb(Symb sy) {
  return sy < kTagsWithEnd ? Symb(HtmlEndSy + sy) : HtmlSy;
}

bool FindTagName(const std::string& upperName, Symb& start) {
  return FindIn(kTags, upperName, start);
}

bool FindAttributeName(const std::string& upperName, Symb& sym) {
  return FindIn(kAttributes, upperName, sym);
}

}  // namespace html
