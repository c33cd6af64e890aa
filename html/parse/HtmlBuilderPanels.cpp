// Host panels in text: PANEL, and OBJECT with its PARAMs when the host handles objects.
#include "html/parse/DocumentBuilderState.h"
#include "html/viewer/Panels.h"

namespace html {

void THtmlBuilder::DoPanel() {
  if (Sy() == ObjectSy) return DoObject();
  TSection& section = EnsureSection();
  const bool pushed = PushCurrent("panel");
  if (pushed) OpenInlineBorder();
  auto panel = std::make_unique<TPanelObj>(&document_, false, cell_, tok_.Attributes,
                                           int32_t(section.Text.size()));
  panel->ApplyProperties(stack_.Last());
  section.AddFloatingObj(std::move(panel), tok_.TagStart);
  if (pushed) PopPropertiesTo("panel");
}

// Without an object handler the tag is passed over and what the OBJECT holds reads as content.
void THtmlBuilder::DoObject() {
  if (!document_.ObjectTag) return;
  TSection& section = EnsureSection();
  const int32_t tagStart = tok_.TagStart;
  const bool pushed = PushCurrent("object");
  auto panel = std::make_unique<TPanelObj>(&document_, true, cell_, tok_.Attributes,
                                           int32_t(section.Text.size()));
  panel->ApplyProperties(stack_.Last());
  const std::unique_ptr<plat::TStringList> attributes = tok_.Attributes.CreateStringList();
  plat::TStringList params;
  THtmlTokenizer::TReadMark beforeSymbol;
  for (;;) {
    beforeSymbol = tok_.Mark();
    tok_.SkipWhiteSpace();
    Next();
    if (Sy() != ParamSy) break;
    TAttribute* name = nullptr;
    TAttribute* value = nullptr;
    if (tok_.Attributes.Find(NameSy, name))
      params.Add(tok_.Attributes.Find(ValueSy, value) ? name->Name + "=" + value->Name
                                                      : name->Name);
  }

  bool wantPanel = false;
  document_.ObjectTag(document_.Viewer, panel->Panel.get(), *attributes, params, wantPanel);
  if (!wantPanel) {
    panel.reset();
    if (pushed) PopPropertiesTo("object");
    // The symbol after the parameters is read again by the caller, as ordinary content;
    // preformatted text goes on after the line end that closes the tags.
    tok_.Restore(beforeSymbol);
    if (section_ && section_->IsPreformatted() && tok_.LCh == '\r') tok_.GetCh();
    return;
  }
  if (pushed) OpenInlineBorder();
  section.AddFloatingObj(std::move(panel), tagStart);
  if (pushed) PopPropertiesTo("object");
  while (Sy() != ObjectEndSy && Sy() != EofSy) Next();
}

}  // namespace html
