// What the viewer does for the page's controls and links: scrolling the one with the keyboard
// focus into view, links taken by the Enter key, form submissions handed on after the click.
#include "html/layout/text/FontRuns.h"
#include "html/layout/text/InlineObjects.h"
#include "html/viewer/PageViewer.h"

namespace html {

namespace {
constexpr int kControlMargin = 20;
constexpr int kLinkMargin = 30;
}  // namespace

void TPageViewer::SetNoSelect(bool value) {
  if (value == noSelect_) return;
  noSelect_ = value;
  if (!value) return;
  document_->SelStart = document_->SelEnd = -1;
  Invalidate();
}

void TPageViewer::ObjectFocused(TIDObject* object) {
  auto* control = dynamic_cast<TFormControlObj*>(object);
  if (!control) return;
  const int32_t top = vScrollBar_->Position();
  if (control->LinkY >= top && control->LinkY <= top + ClientHeight() - kControlMargin) return;
  ScrollTo(control->LinkY - ClientHeight() / 2);
  Invalidate();
}

void TPageViewer::LinkFocused(TLinkRun& link) {
  auto* run = dynamic_cast<TFontObj*>(&link);
  if (run && !settingActiveControl_) {
    const int32_t top = vScrollBar_->Position();
    if (run->LinkY() < top)
      ScrollTo(run->LinkY());
    else if (run->LinkY() > top + ClientHeight() - kLinkMargin)
      ScrollTo(run->LinkY() - ClientHeight() / 2);
  }
  Invalidate();
}

void TPageViewer::LinkKeyDown(TLinkRun& link, uint16_t& key, plat::TShiftState shift) {
  auto* run = dynamic_cast<TFontObj*>(&link);
  if (key != plat::VK_RETURN || !run || !run->Link()) {
    KeyDown(key, shift);
    return;
  }
  TakeLink(*run->Link());
  plat::PostMessage(this, kFollowLinkMessage);
}

void TPageViewer::SetOnFormSubmit(TFormSubmitEvent handler) {
  onFormSubmit_ = std::move(handler);
  if (!onFormSubmit_) {
    document_->SubmitForm = nullptr;
    return;
  }
  document_->SubmitForm = [this](const std::string& action, const std::string& target,
                                 const std::string& encType, const std::string& method,
                                 std::unique_ptr<plat::TStringList> results) {
    SubmitForm(action, target, encType, method, std::move(results));
  };
}

void TPageViewer::SubmitForm(const std::string& action, const std::string& target,
                             const std::string& encType, const std::string& method,
                             std::unique_ptr<plat::TStringList> results) {
  // Each submission keeps its own values until its message arrives.
  pendingSubmits_.push_back({action, target, encType, method, std::move(results)});
  plat::PostMessage(this, kFormSubmitMessage);
}

void TPageViewer::DeliverFormSubmit() {
  if (pendingSubmits_.empty()) return;
  TPendingSubmit submit = std::move(pendingSubmits_.front());
  pendingSubmits_.pop_front();
  if (onFormSubmit_)
    onFormSubmit_(this, submit.Action, submit.Target, submit.EncType, submit.Method,
                  submit.Results.get());
}

}  // namespace html
