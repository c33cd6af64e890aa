// The platform's component classes: creation by class name and their published properties.
#include "platform/runtime/Timers.h"
#include "platform/runtime/TypInfo.h"
#include "platform/windows/Application.h"
#include "platform/windows/Buttons.h"
#include "platform/windows/ComCtrls.h"
#include "platform/windows/Dialogs.h"
#include "platform/windows/ExtCtrls.h"
#include "platform/windows/Forms.h"
#include "platform/windows/Menus.h"
#include "platform/windows/StdCtrls.h"

namespace plat {
namespace {

const TEnumInfo& Enum(const char* name, std::vector<std::string> names) {
  static std::vector<std::unique_ptr<TEnumInfo>> infos;
  for (auto& info : infos)
    if (info->Name == name) return *info;
  infos.push_back(std::make_unique<TEnumInfo>(TEnumInfo{name, std::move(names)}));
  return *infos.back();
}

bool ColorIdent(std::string_view ident, int64_t& value) {
  TColor color = 0;
  if (!IdentToColor(ident, color)) return false;
  value = color;
  return true;
}

bool ModalResultIdent(std::string_view ident, int64_t& value) {
  static const std::pair<const char*, TModalResult> names[] = {
      {"mrNone", mrNone},        {"mrOk", mrOk},
      {"mrCancel", mrCancel},    {"mrAbort", mrAbort},
      {"mrRetry", mrRetry},      {"mrIgnore", mrIgnore},
      {"mrYes", mrYes},          {"mrNo", mrNo},
      {"mrAll", mrAll},          {"mrNoToAll", mrNoToAll},
      {"mrYesToAll", mrYesToAll}};
  for (auto& [name, result] : names)
    if (SameText(name, ident)) {
      value = result;
      return true;
    }
  return false;
}

const TEnumInfo& Bool() {
  return BooleanInfo();
}

void RegisterGraphicsObjects() {
  TClassRegistrar<TFont, TPersistent>("TFont")
      .Prop("Name", tkString, &TFont::Name, &TFont::SetName)
      .Prop("Size", tkInteger, &TFont::Size, &TFont::SetSize)
      .Prop("Height", tkInteger, &TFont::Height, &TFont::SetHeight)
      .Prop("Style", tkSet, &TFont::Style, &TFont::SetStyle,
            &Enum("TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}))
      .Prop("Color", tkInteger, &TFont::Color, &TFont::SetColor)
      .Idents(ColorIdent)
      .Prop("Charset", tkInteger, &TFont::Charset, &TFont::SetCharset);
  TClassRegistrar<TPen, TPersistent>("TPen")
      .Prop("Color", tkInteger, &TPen::Color, &TPen::SetColor)
      .Idents(ColorIdent)
      .Prop("Width", tkInteger, &TPen::Width, &TPen::SetWidth)
      .Prop("Style", tkEnumeration, &TPen::Style, &TPen::SetStyle,
            &Enum("TPenStyle", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot",
                                "psClear", "psInsideFrame"}))
      .Prop(
          "Mode", tkEnumeration, &TPen::Mode, &TPen::SetMode,
          &Enum("TPenMode", {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy",
                             "pmMergePenNot", "pmMaskPenNot", "pmMergeNotPen", "pmMaskNotPen",
                             "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor", "pmNotXor"}));
  TClassRegistrar<TBrush, TPersistent>("TBrush")
      .Prop("Color", tkInteger, &TBrush::Color, &TBrush::SetColor)
      .Idents(ColorIdent)
      .Prop("Style", tkEnumeration, &TBrush::Style, &TBrush::SetStyle,
            &Enum("TBrushStyle", {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                                  "bsBDiagonal", "bsCross", "bsDiagCross"}));
}

void RegisterControls() {
  const TEnumInfo& borderStyle =
      Enum("TBorderStyle",
           {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
  TClassRegistrar<TComponent, TPersistent>("TComponent")
      .Prop("Name", tkString, &TComponent::Name, &TComponent::SetName);
  TClassRegistrar<TControl, TComponent>("TControl")
      .Prop("Left", tkInteger, &TControl::Left, &TControl::SetLeft)
      .Prop("Top", tkInteger, &TControl::Top, &TControl::SetTop)
      .Prop("Width", tkInteger, &TControl::Width, &TControl::SetWidth)
      .Prop("Height", tkInteger, &TControl::Height, &TControl::SetHeight)
      .Prop("ClientWidth", tkInteger, &TControl::ClientWidth, &TControl::SetClientWidth)
      .Prop("ClientHeight", tkInteger, &TControl::ClientHeight, &TControl::SetClientHeight)
      .Prop("Align", tkEnumeration, &TControl::Align, &TControl::SetAlign,
            &Enum("TAlign",
                  {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"}))
      .Prop("Anchors", tkSet, &TControl::Anchors, &TControl::SetAnchors,
            &Enum("TAnchorKind", {"akLeft", "akTop", "akRight", "akBottom"}))
      .Prop("Visible", tkEnumeration, &TControl::Visible, &TControl::SetVisible, &Bool())
      .Prop("Enabled", tkEnumeration, &TControl::Enabled, &TControl::SetEnabled, &Bool())
      .Prop("Color", tkInteger, &TControl::Color, &TControl::SetColor)
      .Idents(ColorIdent)
      .Prop("ParentColor", tkEnumeration, &TControl::ParentColor, &TControl::SetParentColor,
            &Bool())
      .Object("Font", &TControl::Font)
      .Prop("Caption", tkString, &TControl::Caption, &TControl::SetCaption)
      .Prop("Text", tkString, &TControl::Text, &TControl::SetText)
      .Prop("Hint", tkString, &TControl::Hint, &TControl::SetHint)
      .Prop("ShowHint", tkEnumeration, &TControl::ShowHint, &TControl::SetShowHint, &Bool())
      .Prop("Cursor", tkInteger, &TControl::Cursor, &TControl::SetCursor)
      .Idents(IdentToCursor)
      .Prop("Tag", tkInteger, &TControl::Tag, &TControl::SetTag)
      .Prop("PopupMenu", tkClass, &TControl::PopupMenu, &TControl::SetPopupMenu)
      .Prop("DragMode", tkEnumeration, &TControl::DragMode, &TControl::SetDragMode,
            &Enum("TDragMode", {"dmManual", "dmAutomatic"}))
      .Prop("DragCursor", tkInteger, &TControl::DragCursor, &TControl::SetDragCursor)
      .Idents(IdentToCursor)
      .Event("OnClick", &TControl::OnClick)
      .Event("OnDblClick", &TControl::OnDblClick)
      .Event("OnResize", &TControl::OnResize)
      .Event("OnMouseDown", &TControl::OnMouseDown)
      .Event("OnMouseUp", &TControl::OnMouseUp)
      .Event("OnMouseMove", &TControl::OnMouseMove)
      .Event("OnMouseWheel", &TControl::OnMouseWheel)
      .Event("OnMouseWheelUp", &TControl::OnMouseWheelUp)
      .Event("OnMouseWheelDown", &TControl::OnMouseWheelDown)
      .Event("OnMouseEnter", &TControl::OnMouseEnter)
      .Event("OnMouseLeave", &TControl::OnMouseLeave)
      .Event("OnDragOver", &TControl::OnDragOver)
      .Event("OnDragDrop", &TControl::OnDragDrop)
      .Event("OnStartDrag", &TControl::OnStartDrag)
      .Event("OnEndDrag", &TControl::OnEndDrag);
  TClassRegistrar<TWinControl, TControl>("TWinControl")
      .Prop("TabStop", tkEnumeration, &TWinControl::TabStop, &TWinControl::SetTabStop, &Bool())
      .Prop("TabOrder", tkInteger, &TWinControl::TabOrder, &TWinControl::SetTabOrder)
      .Prop("BorderStyle", tkEnumeration, &TWinControl::BorderStyle, &TWinControl::SetBorderStyle,
            &borderStyle)
      .Event("OnKeyDown", &TWinControl::OnKeyDown)
      .Event("OnKeyUp", &TWinControl::OnKeyUp)
      .Event("OnKeyPress", &TWinControl::OnKeyPress)
      .Event("OnEnter", &TWinControl::OnEnter)
      .Event("OnExit", &TWinControl::OnExit);
  TClassRegistrar<TCustomControl, TWinControl>("TCustomControl");
  TClassRegistrar<TGraphicControl, TControl>("TGraphicControl");
  TClassRegistrar<TCustomForm, TWinControl>("TCustomForm")
      .Prop("Position", tkEnumeration, &TCustomForm::Position, &TCustomForm::SetPosition,
            &Enum("TPosition",
                  {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                   "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"}))
      .Prop("WindowState", tkEnumeration, &TCustomForm::WindowState, &TCustomForm::SetWindowState,
            &Enum("TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"}))
      .Prop("BorderStyle", tkEnumeration, &TCustomForm::FormBorderStyle,
            &TCustomForm::SetFormBorderStyle, &borderStyle)
      .Prop("KeyPreview", tkEnumeration, &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview,
            &Bool())
      .Prop("ActiveControl", tkClass, &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl)
      .Event("OnCreate", &TCustomForm::OnCreate)
      .Event("OnDestroy", &TCustomForm::OnDestroy)
      .Event("OnShow", &TCustomForm::OnShow)
      .Event("OnHide", &TCustomForm::OnHide)
      .Event("OnActivate", &TCustomForm::OnActivate)
      .Event("OnClose", &TCustomForm::OnClose)
      .Event("OnCloseQuery", &TCustomForm::OnCloseQuery);
  TClassRegistrar<TForm, TCustomForm>("TForm");
}

void RegisterStandardControls(const TEnumInfo& alignment) {
  TClassRegistrar<TButton, TWinControl>("TButton")
      .Prop("ModalResult", tkInteger, &TButton::ModalResult, &TButton::SetModalResult)
      .Idents(ModalResultIdent)
      .Prop("Default", tkEnumeration, &TButton::Default, &TButton::SetDefault, &Bool())
      .Prop("Cancel", tkEnumeration, &TButton::Cancel, &TButton::SetCancel, &Bool());
  TClassRegistrar<TBitBtn, TButton>("TBitBtn").Prop(
      "Kind", tkEnumeration, &TBitBtn::Kind, &TBitBtn::SetKind,
      &Enum("TBitBtnKind", {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose",
                            "bkAbort", "bkRetry", "bkIgnore", "bkAll"}));
  TClassRegistrar<TSpeedButton, TGraphicControl>("TSpeedButton")
      .Prop("Flat", tkEnumeration, &TSpeedButton::Flat, &TSpeedButton::SetFlat, &Bool())
      .Prop("GroupIndex", tkInteger, &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex)
      .Prop("Down", tkEnumeration, &TSpeedButton::Down, &TSpeedButton::SetDown, &Bool())
      .Prop("AllowAllUp", tkEnumeration, &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp,
            &Bool());
  TClassRegistrar<TLabel, TGraphicControl>("TLabel")
      .Prop("Alignment", tkEnumeration, &TLabel::Alignment, &TLabel::SetAlignment, &alignment)
      .Prop("Layout", tkEnumeration, &TLabel::Layout, &TLabel::SetLayout,
            &Enum("TTextLayout", {"tlTop", "tlCenter", "tlBottom"}))
      .Prop("AutoSize", tkEnumeration, &TLabel::AutoSize, &TLabel::SetAutoSize, &Bool())
      .Prop("WordWrap", tkEnumeration, &TLabel::WordWrap, &TLabel::SetWordWrap, &Bool())
      .Prop("Transparent", tkEnumeration, &TLabel::Transparent, &TLabel::SetTransparent, &Bool())
      .Prop("FocusControl", tkClass, &TLabel::FocusControl, &TLabel::SetFocusControl);
  TClassRegistrar<TEdit, TWinControl>("TEdit")
      .Prop("MaxLength", tkInteger, &TEdit::MaxLength, &TEdit::SetMaxLength)
      .Prop("ReadOnly", tkEnumeration, &TEdit::ReadOnly, &TEdit::SetReadOnly, &Bool())
      .Event("OnChange", &TEdit::OnChange);
  TClassRegistrar<TMemo, TWinControl>("TMemo")
      .Object("Lines", &TMemo::Lines)
      .Prop("WordWrap", tkEnumeration, &TMemo::WordWrap, &TMemo::SetWordWrap, &Bool())
      .Prop("ScrollBars", tkEnumeration, &TMemo::ScrollBars, &TMemo::SetScrollBars,
            &Enum("TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}))
      .Prop("ReadOnly", tkEnumeration, &TMemo::ReadOnly, &TMemo::SetReadOnly, &Bool())
      .Event("OnChange", &TMemo::OnChange);
  TClassRegistrar<TCheckBox, TWinControl>("TCheckBox")
      .Prop("Checked", tkEnumeration, &TCheckBox::Checked, &TCheckBox::SetChecked, &Bool());
  TClassRegistrar<TRadioButton, TWinControl>("TRadioButton")
      .Prop("Checked", tkEnumeration, &TRadioButton::Checked, &TRadioButton::SetChecked, &Bool());
  TClassRegistrar<TGroupBox, TWinControl>("TGroupBox");
  TClassRegistrar<TComboBox, TWinControl>("TComboBox")
      .Prop("Style", tkEnumeration, &TComboBox::Style, &TComboBox::SetStyle,
            &Enum("TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList"}))
      .Object("Items", &TComboBox::Items)
      .Prop("ItemIndex", tkInteger, &TComboBox::ItemIndex, &TComboBox::SetItemIndex)
      .Prop("Sorted", tkEnumeration, &TComboBox::Sorted, &TComboBox::SetSorted, &Bool())
      .Prop("DropDownCount", tkInteger, &TComboBox::DropDownCount, &TComboBox::SetDropDownCount)
      .Event("OnChange", &TComboBox::OnChange);
  TClassRegistrar<TListBox, TWinControl>("TListBox")
      .Object("Items", &TListBox::Items)
      .Prop("ItemIndex", tkInteger, &TListBox::ItemIndex, &TListBox::SetItemIndex)
      .Prop("Sorted", tkEnumeration, &TListBox::Sorted, &TListBox::SetSorted, &Bool())
      .Prop("MultiSelect", tkEnumeration, &TListBox::MultiSelect, &TListBox::SetMultiSelect,
            &Bool());
  TClassRegistrar<TScrollBar, TWinControl>("TScrollBar")
      .Prop("Kind", tkEnumeration, &TScrollBar::Kind, &TScrollBar::SetKind,
            &Enum("TScrollBarKind", {"sbHorizontal", "sbVertical"}))
      .Prop("Min", tkInteger, &TScrollBar::Min, &TScrollBar::SetMin)
      .Prop("Max", tkInteger, &TScrollBar::Max, &TScrollBar::SetMax)
      .Prop("Position", tkInteger, &TScrollBar::Position, &TScrollBar::SetPosition)
      .Prop("PageSize", tkInteger, &TScrollBar::PageSize, &TScrollBar::SetPageSize)
      .Prop("SmallChange", tkInteger, &TScrollBar::SmallChange, &TScrollBar::SetSmallChange)
      .Prop("LargeChange", tkInteger, &TScrollBar::LargeChange, &TScrollBar::SetLargeChange)
      .Event("OnChange", &TScrollBar::OnChange)
      .Event("OnScroll", &TScrollBar::OnScroll);
}

void RegisterExtraControls(const TEnumInfo& alignment) {
  const TEnumInfo& bevelCut = Enum("TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"});
  TClassRegistrar<TPanel, TCustomControl>("TPanel")
      .Prop("BevelOuter", tkEnumeration, &TPanel::BevelOuter, &TPanel::SetBevelOuter, &bevelCut)
      .Prop("BevelInner", tkEnumeration, &TPanel::BevelInner, &TPanel::SetBevelInner, &bevelCut)
      .Prop("BevelWidth", tkInteger, &TPanel::BevelWidth, &TPanel::SetBevelWidth)
      .Prop("BorderWidth", tkInteger, &TPanel::BorderWidth, &TPanel::SetBorderWidth)
      .Prop("Alignment", tkEnumeration, &TPanel::Alignment, &TPanel::SetAlignment, &alignment);
  TClassRegistrar<TRadioGroup, TWinControl>("TRadioGroup")
      .Object("Items", &TRadioGroup::Items)
      .Prop("ItemIndex", tkInteger, &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex)
      .Prop("Columns", tkInteger, &TRadioGroup::Columns, &TRadioGroup::SetColumns);
  TClassRegistrar<TImage, TGraphicControl>("TImage")
      .Object("Picture", &TImage::Picture)
      .Prop("Stretch", tkEnumeration, &TImage::Stretch, &TImage::SetStretch, &Bool())
      .Prop("Center", tkEnumeration, &TImage::Center, &TImage::SetCenter, &Bool())
      .Prop("Proportional", tkEnumeration, &TImage::Proportional, &TImage::SetProportional,
            &Bool());
  TClassRegistrar<TShape, TGraphicControl>("TShape")
      .Prop("Shape", tkEnumeration, &TShape::Shape, &TShape::SetShape,
            &Enum("TShapeType", {"stRectangle", "stSquare", "stRoundRect", "stRoundSquare",
                                 "stEllipse", "stCircle"}))
      .Object("Pen", &TShape::Pen)
      .Object("Brush", &TShape::Brush);
  TClassRegistrar<TBevel, TGraphicControl>("TBevel")
      .Prop("Shape", tkEnumeration, &TBevel::Shape, &TBevel::SetShape,
            &Enum("TBevelShape", {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine",
                                  "bsRightLine", "bsSpacer"}))
      .Prop("Style", tkEnumeration, &TBevel::Style, &TBevel::SetStyle,
            &Enum("TBevelStyle", {"bsLowered", "bsRaised"}));
  TClassRegistrar<TColorGrid, TCustomControl>("TColorGrid")
      .Prop("ForegroundIndex", tkInteger, &TColorGrid::ForegroundIndex,
            &TColorGrid::SetForegroundIndex)
      .Prop("BackgroundIndex", tkInteger, &TColorGrid::BackgroundIndex,
            &TColorGrid::SetBackgroundIndex)
      .Prop("ForegroundEnabled", tkEnumeration, &TColorGrid::ForegroundEnabled,
            &TColorGrid::SetForegroundEnabled, &Bool())
      .Prop("BackgroundEnabled", tkEnumeration, &TColorGrid::BackgroundEnabled,
            &TColorGrid::SetBackgroundEnabled, &Bool())
      .Event("OnChange", &TColorGrid::OnChange);
  TClassRegistrar<THintWindow, TCustomControl>("THintWindow");
  TClassRegistrar<TUpDown, TWinControl>("TUpDown")
      .Prop("Associate", tkClass, &TUpDown::Associate, &TUpDown::SetAssociate)
      .Prop("Min", tkInteger, &TUpDown::Min, &TUpDown::SetMin)
      .Prop("Max", tkInteger, &TUpDown::Max, &TUpDown::SetMax)
      .Prop("Position", tkInteger, &TUpDown::Position, &TUpDown::SetPosition)
      .Prop("Increment", tkInteger, &TUpDown::Increment, &TUpDown::SetIncrement)
      .Prop("Wrap", tkEnumeration, &TUpDown::Wrap, &TUpDown::SetWrap, &Bool())
      .Event("OnClick", &TUpDown::OnClick);
  TClassRegistrar<TSpinEdit, TWinControl>("TSpinEdit")
      .Prop("Value", tkInteger, &TSpinEdit::Value, &TSpinEdit::SetValue)
      .Prop("MinValue", tkInteger, &TSpinEdit::MinValue, &TSpinEdit::SetMinValue)
      .Prop("MaxValue", tkInteger, &TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue)
      .Prop("Increment", tkInteger, &TSpinEdit::Increment, &TSpinEdit::SetIncrement)
      .Event("OnChange", &TSpinEdit::OnChange);
}

void RegisterComponents() {
  TClassRegistrar<TTimer, TComponent>("TTimer")
      .Prop("Enabled", tkEnumeration, &TTimer::Enabled, &TTimer::SetEnabled, &Bool())
      .Prop("Interval", tkInteger, &TTimer::Interval, &TTimer::SetInterval)
      .Event("OnTimer", &TTimer::OnTimer);
  TClassRegistrar<TOpenDialog, TComponent>("TOpenDialog")
      .Prop("Title", tkString, &TOpenDialog::Title, &TOpenDialog::SetTitle)
      .Prop("InitialDir", tkString, &TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir)
      .Prop("FileName", tkString, &TOpenDialog::FileName, &TOpenDialog::SetFileName)
      .Prop("Filter", tkString, &TOpenDialog::Filter, &TOpenDialog::SetFilter)
      .Prop("FilterIndex", tkInteger, &TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex)
      .Prop("DefaultExt", tkString, &TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt)
      .Prop("Options", tkSet, &TOpenDialog::Options, &TOpenDialog::SetOptions,
            &Enum("TOpenOption", {"ofReadOnly",
                                  "ofOverwritePrompt",
                                  "ofHideReadOnly",
                                  "ofNoChangeDir",
                                  "ofShowHelp",
                                  "ofNoValidate",
                                  "ofAllowMultiSelect",
                                  "ofExtensionDifferent",
                                  "ofPathMustExist",
                                  "ofFileMustExist",
                                  "ofCreatePrompt",
                                  "ofShareAware",
                                  "ofNoReadOnlyReturn",
                                  "ofNoTestFileCreate",
                                  "ofNoNetworkButton",
                                  "ofNoLongNames",
                                  "ofOldStyleDialog",
                                  "ofNoDereferenceLinks",
                                  "ofEnableIncludeNotify",
                                  "ofEnableSizing"}));
  TClassRegistrar<TPopupMenu, TComponent>("TPopupMenu");
  TClassRegistrar<TMenuItem, TComponent>("TMenuItem")
      .Prop("Caption", tkString, &TMenuItem::Caption, &TMenuItem::SetCaption)
      .Prop("Checked", tkEnumeration, &TMenuItem::Checked, &TMenuItem::SetChecked, &Bool())
      .Prop("Enabled", tkEnumeration, &TMenuItem::Enabled, &TMenuItem::SetEnabled, &Bool())
      .Prop("Visible", tkEnumeration, &TMenuItem::Visible, &TMenuItem::SetVisible, &Bool())
      .Event("OnClick", &TMenuItem::OnClick);
  TClassRegistrar<TOpenPictureDialog, TOpenDialog>("TOpenPictureDialog");
  TClassRegistrar<TSaveDialog, TOpenDialog>("TSaveDialog");
  TClassRegistrar<TSavePictureDialog, TSaveDialog>("TSavePictureDialog");
  TClassRegistrar<TColorDialog, TComponent>("TColorDialog")
      .Prop("Color", tkInteger, &TColorDialog::Color, &TColorDialog::SetColor)
      .Idents(ColorIdent)
      .Prop("Options", tkSet, &TColorDialog::Options, &TColorDialog::SetOptions,
            &Enum("TColorDialogOption", {"cdFullOpen", "cdPreventFullOpen"}));
}

template <class... T>
void Creatable(const char* const (&names)[sizeof...(T)]) {
  size_t i = 0;
  (RegisterComponentClass<T>(names[i++]), ...);
}

}  // namespace

void RegisterControlProperties() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterGraphicsObjects();
  RegisterControls();
  const TEnumInfo& alignment = Enum("TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"});
  RegisterStandardControls(alignment);
  RegisterExtraControls(alignment);
  RegisterComponents();
  Creatable<TButton, TBitBtn, TSpeedButton, TLabel, TEdit, TMemo, TCheckBox, TRadioButton,
            TGroupBox, TComboBox, TListBox, TScrollBar, TPanel, TRadioGroup, TImage, TShape, TBevel,
            TColorGrid, TUpDown, TSpinEdit, TTimer, TOpenDialog, TOpenPictureDialog, TSaveDialog,
            TSavePictureDialog, TColorDialog, TPopupMenu, TMenuItem>({"TButton",
                                                                      "TBitBtn",
                                                                      "TSpeedButton",
                                                                      "TLabel",
                                                                      "TEdit",
                                                                      "TMemo",
                                                                      "TCheckBox",
                                                                      "TRadioButton",
                                                                      "TGroupBox",
                                                                      "TComboBox",
                                                                      "TListBox",
                                                                      "TScrollBar",
                                                                      "TPanel",
                                                                      "TRadioGroup",
                                                                      "TImage",
                                                                      "TShape",
                                                                      "TBevel",
                                                                      "TColorGrid",
                                                                      "TUpDown",
                                                                      "TSpinEdit",
                                                                      "TTimer",
                                                                      "TOpenDialog",
                                                                      "TOpenPictureDialog",
                                                                      "TSaveDialog",
                                                                      "TSavePictureDialog",
                                                                      "TColorDialog",
                                                                      "TPopupMenu",
                                                                      "TMenuItem"});
}

}  // namespace plat
