// The viewer under the mouse: link hover feedback, titles and cursors, selection by dragging and
// by double clicks, clicks that follow links, and the events for pictures and right clicks.
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "html/HtmlEngine.h"
#include "html/images/ImageObjects.h"
#include "html/layout/text/FontRuns.h"
#include "html/layout/text/InlineObjects.h"
#include "html/viewer/FormControls.h"
#include "html/viewer/PageViewer.h"
#include "platform/windows/Application.h"
#include "platform/windows/Forms.h"

namespace html {

namespace {

// Panning starts scrolling once the pointer is this far from where it began.
constexpr int kPanDeadZone = 20;

bool IsWordChar(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
         c >= 192;
}

}  // namespace

int TPageViewer::GetLinkAt(int x, int y, THitLink& hit) {
  return document_->HitTestLink(measureBitmap_->Canvas(), x, y + document_->ScrollY, hit);
}

std::u16string TPageViewer::SelText() {
  const int32_t length = document_->SelectionLength();
  if (length < 1) return {};
  std::u16string text(size_t(length) + 1, u'\0');
  const int32_t stored = document_->SelectionToBuffer(text);
  text.resize(size_t(std::clamp(stored - 1, 0, length)));
  return text;
}

void TPageViewer::ComputeLinkText(int32_t start, int32_t last) {
  linkText_.clear();
  if (start < 0 || last < 0 || start >= last) return;
  struct RestoreSelection {
    TSectionList& document;
    int32_t start, end;
    ~RestoreSelection() {
      document.SelStart = start;
      document.SelEnd = end;
    }
  } restore{*document_, document_->SelStart, document_->SelEnd};
  document_->SelStart = document_->SourceToDocPosOrEnd(start);
  document_->SelEnd = document_->SourceToDocPosOrEnd(last);
  linkText_ = SelText();
  int32_t x = 0, y = 0;
  if (document_->PositionToXYClipped(&measureBitmap_->Canvas(), document_->SelStart, y, x))
    linkStart_ = {x, y - document_->ScrollY};
}

void TPageViewer::TakeLink(const TUrlTarget& link) {
  url_ = link.URL;
  target_ = link.Target;
  linkAttributes_.SetText(link.Attr);
  ComputeLinkText(link.GetStart(), link.GetLast());
}

void TPageViewer::DocMouseDown(plat::TMouseButton button, plat::TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
  if (CanFocus() && !Focused()) SetFocus();
  linkFollowed_ = false;
  if (panning_) {
    EndPanning();
    return;
  }
  if (button == plat::mbMiddle && !(options_ & HtOption(htNoWheelMouse))) {
    panning_ = true;
    panStartY_ = y;
    paintPanel_->SetCursor(UpDownCursor);
    return;
  }
  if (button != plat::mbLeft) return;
  leftButtonDown_ = true;
  mouseDownSelecting_ = true;
  if (options_ & HtOption(htNoLinkHilite)) {
    THitLink hit;
    if (GetLinkAt(x, y, hit) & hlLink) mouseDownSelecting_ = false;
  }
  TCursorHit caret;
  selectionAnchor_ =
      document_->FindCursor(measureBitmap_->Canvas(), x, y + document_->ScrollY, caret);
  if (selectionAnchor_ >= 0) {
    const bool extend = (shift & plat::ssShift) && !noSelect_;
    if (document_->SelEnd > document_->SelStart || extend) paintPanel_->Invalidate();
    if (extend) {
      document_->SelStart = std::min(caretPos_, selectionAnchor_);
      document_->SelEnd = std::max(caretPos_, selectionAnchor_);
    } else {
      document_->SelStart = document_->SelEnd = selectionAnchor_;
      caretPos_ = selectionAnchor_;
    }
  }
  document_->SetPressed(true);
}

void TPageViewer::DocMouseMove(plat::TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
  if (panning_) {
    if (!autoScrollPending_ && std::abs(y - panStartY_) > kPanDeadZone) {
      autoScrollPending_ = true;
      plat::PostMessage(this, kAutoScrollMessage);
    }
    return;
  }
  const int32_t docY = y + document_->ScrollY;
  plat::TCursor cursor = plat::crArrow;
  HoverTitle.clear();
  std::string url, target;
  THitLink hit;
  const int found = GetLinkAt(x, y, hit);
  if (found & hlTitle) HoverTitle = hit.Title;
  if ((found & hlLink) && hit.UrlTarget) {
    cursor = HandCursor;
    url = hit.UrlTarget->URL;
    target = hit.UrlTarget->Target;
    linkAttributes_.SetText(hit.UrlTarget->Attr);
    ComputeLinkText(hit.UrlTarget->GetStart(), hit.UrlTarget->GetLast());
  }
  if (found & hlControl) cursor = HandCursor;

  TFloatingObj* object = nullptr;
  if (OnImageClick || OnImageOver) {
    int32_t objX = 0, objY = 0;
    object = document_->GetObjectAt(x, docY, objX, objY);
    if (object) {
      if (cursor != HandCursor) cursor = plat::crArrow;
      if (OnImageOver) OnImageOver(this, object, shift, objX, objY);
    }
  }
  if (!object) {
    TCursorHit caret;
    if (document_->FindCursor(measureBitmap_->Canvas(), x, docY, caret) >= 0 && caret.InText &&
        cursor != HandCursor)
      cursor = Cursor();
  }
  paintPanel_->SetCursor(cursor);
  hoverTimer_->SetEnabled(cursor == HandCursor || document_->HoverImage);

  if (url != url_ || target != target_) {
    url_ = url;
    target_ = target;
    if (OnHotSpotCovered) OnHotSpotCovered(this, url_);
  }
  if (shift & plat::ssLeft) {
    if (!autoScrollPending_ && (y < 1 || y >= paintPanel_->Height())) {
      autoScrollPending_ = true;
      plat::PostMessage(this, kAutoScrollMessage);
    }
    if (!noSelect_) ExtendSelection(x, y);
  }
}

void TPageViewer::ExtendSelection(int x, int y) {
  if (!mouseDownSelecting_ || selectionAnchor_ < 0) return;
  TCursorHit caret;
  const int32_t position =
      document_->FindCursor(measureBitmap_->Canvas(), x,
                            std::clamp(y, 0, paintPanel_->Height()) + document_->ScrollY, caret);
  if (position < 0) return;
  if (!noSelect_) {
    document_->SelStart = std::min(position, selectionAnchor_);
    document_->SelEnd = std::max(position, selectionAnchor_);
    paintPanel_->Invalidate();
  }
  caretPos_ = position;
}

void TPageViewer::DocMouseUp(plat::TMouseButton button, plat::TShiftState shift, int x, int y) {
  if (panning_) {
    // A middle click without movement keeps panning until the next press.
    if (button != plat::mbMiddle || y != panStartY_) EndPanning();
    return;
  }
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
  if (OnImageClick || (OnRightClick && button == plat::mbRight)) {
    int32_t objX = 0, objY = 0;
    TFloatingObj* object = document_->GetObjectAt(x, y + document_->ScrollY, objX, objY);
    if (object && OnImageClick) OnImageClick(this, object, button, shift, objX, objY);
    if (button == plat::mbRight && OnRightClick) RightClick(shift, x, y);
  }
  if (button != plat::mbLeft) return;
  autoScrollPending_ = false;
  const bool wasDown = std::exchange(leftButtonDown_, false);
  if (!(shift & plat::ssShift)) ExtendSelection(x, y);
  mouseDownSelecting_ = false;
  document_->SetPressed(false);
  // A click that ends a drag selection follows nothing.
  if (!wasDown || (shift & plat::ssShift) || document_->SelEnd > document_->SelStart) return;
  THitLink hit;
  const int found = GetLinkAt(x, y, hit);
  if (found & hlControl) {
    if (auto* input = dynamic_cast<TImageFormControlObj*>(hit.FormControl)) {
      input->XTemp = hit.ControlX;
      input->YTemp = hit.ControlY;
      input->ImageControlClick();
    }
    return;
  }
  if (!(found & hlLink) || !hit.UrlTarget) return;
  TakeLink(*hit.UrlTarget);
  FocusLinkWindow(hit.UrlTarget->ID);
  linkFollowed_ = true;
  FollowLink();
}

void TPageViewer::FocusLinkWindow(int32_t linkID) {
  for (TLinkRun* link : document_->LinkRuns) {
    auto* run = dynamic_cast<TFontObj*>(link);
    if (!run || run->LinkID() != linkID || !run->FocusControl()) continue;
    plat::TWinControl* window = run->FocusControl();
    plat::TCustomForm* form = window->GetParentForm();
    if (form && window->CanFocus()) {
      settingActiveControl_ = true;
      struct Done {
        bool& flag;
        ~Done() { flag = false; }
      } done{settingActiveControl_};
      form->SetActiveControl(window);
    }
    return;
  }
}

void TPageViewer::RightClick(plat::TShiftState, int x, int y) {
  TRightClickParameters parameters;
  int32_t objX = 0, objY = 0;
  TFloatingObj* object = document_->GetObjectAt(x, y + document_->ScrollY, objX, objY);
  if (auto* image = dynamic_cast<TImageObj*>(object)) {
    parameters.Image = image;
    parameters.ImageX = objX;
    parameters.ImageY = objY;
  }
  THitLink hit;
  if ((GetLinkAt(x, y, hit) & hlLink) && hit.UrlTarget) {
    parameters.URL = hit.UrlTarget->URL;
    parameters.Target = hit.UrlTarget->Target;
  }
  int32_t start = 0, end = 0;
  WordAt(x, y, parameters.ClickWord, start, end);
  hoverTimer_->SetEnabled(false);
  OnRightClick(this, parameters);
  hoverTimer_->SetEnabled(true);
}

bool TPageViewer::WordAt(int x, int y, std::u16string& word, int32_t& start, int32_t& end) {
  TCursorHit caret;
  const int32_t position =
      document_->FindCursor(measureBitmap_->Canvas(), x, y + document_->ScrollY, caret);
  if (position < 0) return false;
  caretPos_ = position;
  if (!caret.InText) return false;
  char16_t ch = 0;
  TSectionBase* owner = nullptr;
  if (!document_->GetChAtPos(position, ch, owner) || !IsWordChar(ch)) return false;
  auto sameWord = [&](int32_t at, char16_t& c) {
    TSectionBase* item = nullptr;
    return document_->GetChAtPos(at, c, item) && item == owner && IsWordChar(c);
  };
  int32_t last = position;
  word.assign(1, ch);
  for (char16_t c = 0; sameWord(last + 1, c); ++last) word.push_back(c);
  int32_t first = position;
  for (char16_t c = 0; first > 0 && sameWord(first - 1, c); --first) word.insert(word.begin(), c);
  start = first - 1;
  end = last + 1;
  return true;
}

void TPageViewer::DocMouseDouble(plat::TShiftState shift, int x, int y) {
  if (processing_ || linkFollowed_) return;
  std::u16string word;
  int32_t start = 0, end = 0;
  if (!noSelect_ && WordAt(x, y, word, start, end)) {
    document_->SelStart = start + 1;
    document_->SelEnd = end;
    caretPos_ = start + 1;
    paintPanel_->Invalidate();
  }
  if (OnMouseDouble) OnMouseDouble(this, plat::mbLeft, shift, x, y);
}

bool TPageViewer::PointerOnPanel() const {
  // Page controls and other windows over the page hide it from the pointer.
  return paintPanel_->Showing() && plat::WindowFromPoint(plat::Mouse().CursorPos()) == paintPanel_;
}

void TPageViewer::HoverTick() {
  if (PointerOnPanel()) return;
  document_->DropHover();
  hoverTimer_->SetEnabled(false);
  DropLinkUnderMouse();
}

void TPageViewer::DropLinkUnderMouse() {
  if (url_.empty()) return;
  url_.clear();
  target_.clear();
  if (OnHotSpotCovered) OnHotSpotCovered(this, "");
}

void FormControlMouseMove(TFormControlObj& control, const std::string& title,
                          plat::TShiftState shift, int x, int y) {
  plat::TWinControl* window = control.TheControl();
  if (!window) return;
  for (plat::TWinControl* parent = window->Parent(); parent; parent = parent->Parent()) {
    auto* viewer = dynamic_cast<TPageViewer*>(parent);
    if (!viewer) continue;
    viewer->HoverTitle = title;
    if (title.empty()) {
      THitLink hit;
      if (viewer->GetLinkAt(window->Left() + x, window->Top() + y, hit) & hlTitle)
        viewer->HoverTitle = hit.Title;
    }
    if (viewer->OnMouseMove) viewer->OnMouseMove(viewer, shift, x, y);
    return;
  }
}

}  // namespace html
