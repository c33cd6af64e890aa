// Font runs of a text section: from a character position on, one font applies, and the run may
// belong to a link. The runs of one link share its hover, visited and focus looks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "html/base/PageUtils.h"
#include "html/css/CssFonts.h"
#include "html/layout/sections/DocumentObjects.h"
#include "platform/windows/Controls.h"

namespace html {

class TSection;
class TSectionList;

// Answers WM_GETDLGCODE so that arrow keys reach the window; false for any other message.
bool AnswerWantArrows(plat::TMessage& message);

// The off-screen window that stands for a link in the Tab order.
class ThtTabcontrol : public plat::TWinControl {
 public:
  using plat::TWinControl::TWinControl;

 protected:
  void WndProc(plat::TMessage& message) override;
};

class TFontObj : public TLinkRun {
 public:
  // The font is shared with other runs and never changed in place; one not measured yet is
  // measured here.
  TFontObj(TSection* section, std::shared_ptr<const TMyFont> font, int32_t position);
  ~TFontObj() override;
  TFontObj(const TFontObj&) = delete;
  TFontObj& operator=(const TFontObj&) = delete;

  int32_t LinkID() const override { return Link() ? Link()->ID : 0; }
  void SetHover(bool value) override;
  void SetVisited(bool value);

  void ReplaceFont(std::shared_ptr<const TMyFont> font);
  void ApplyFontInfo(const ThtFontInfo& info);
  void CreateFontInfos();
  void DropFontInfos();
  const std::string& GetURL() const;
  // The run belongs to a link with an address.
  bool IsLink() const { return Link() && !Link()->URL.empty(); }
  // The run's link record, made when first asked for.
  TUrlTarget& LinkRecord();
  // Heights of the run's font: the line with its leading, the text, and the part below the
  // baseline; italic text leans a tenth of its height past its advance.
  int32_t LineHeight() const { return Font->tmHeight + Font->tmExternalLeading; }
  int32_t TextHeight() const { return Font->tmHeight; }
  int32_t Descent() const { return Font->tmDescent; }
  int32_t Overhang() const { return (Font->Style() & plat::fsItalic) ? TextHeight() / 10 : 0; }
  // LineHeight, with the descent.
  int32_t GetHeights(int32_t& descent) const {
    descent = Descent();
    return LineHeight();
  }

  // What links and titled runs have; null for the plain runs that most runs are.
  TUrlTarget* Link() const { return extras_ ? extras_->Link.get() : nullptr; }
  // link, visited, hovered, visited and hovered
  TFontInfoArray* FontInfos() const { return extras_ ? extras_->FontInfos.get() : nullptr; }
  // parented to the paint panel
  ThtTabcontrol* FocusControl() const { return extras_ ? extras_->FocusControl.get() : nullptr; }
  const std::string& Title() const;
  void SetTitle(const std::string& title);
  int32_t LinkY() const { return extras_ ? extras_->LinkY : 0; }
  void SetLinkY(int32_t y) { Extras().LinkY = y; }

  // Gives the link its place in the Tab order unless an earlier run of the link has one.
  void CreateFocusControl(int32_t tabIndex);
  // The run holds `window` for its link in the Tab order, bound to the run's focus handlers.
  void SetFocusControl(std::unique_ptr<ThtTabcontrol> window);
  // Takes the focus window out of the Tab order and frees it.
  void DropFocusControl();
  // Records the document y of the link's first line on the run that holds its focus window.
  void AssignLinkY(int32_t y);
  void FocusEnter();
  void FocusExit();
  // The focus window passes to `to` (a later run of the same link).
  void HandFocusControlTo(TFontObj& to);

  // A PRE of short lines holds a run a line: the fields are ordered to fill the words that
  // the link list's place leaves.
  int32_t StartPos;
  TSection* Section;
  std::shared_ptr<const TMyFont> Font;
  bool IsVisited = false;
  bool IsHovered = false;
  bool IsFocused = false;
  uint8_t ScriptShift = 0;  // 8 subscript, 9 superscript, else 0

 private:
  struct TExtras {
    std::unique_ptr<TUrlTarget> Link;
    std::unique_ptr<TFontInfoArray> FontInfos;
    std::unique_ptr<ThtTabcontrol> FocusControl;
    std::string Title;
    int32_t LinkY = 0;
  };
  TExtras& Extras();
  void ApplyLinkState();
  void BindFocusHandlers();
  TSectionList* Document() const;
  // The runs of this link from this one on, in the document's link list, while the ID matches.
  template <class Visit>
  void ForFollowingRunsOfLink(Visit&& visit);

  std::unique_ptr<TExtras> extras_;
};

// The runs of a section in increasing StartPos; the first starts at 0.
class TFontList : public TFreeList<TFontObj> {
 public:
  // The run covering position, and its overhang.
  const TMyFont* GetFontAt(int32_t position, int32_t& overhang) const;
  // Characters from position to the start of the next run, or to length after the last run.
  int32_t GetFontCountAt(int32_t position, int32_t length) const;
  TFontObj* GetFontObjAt(int32_t position, int& index) const;
  // Characters were deleted from the text: `kept` holds, in order, the old positions of those
  // that remain. Each run moves to its first remaining character; runs left with none go, a
  // link's focus window passing to the link's next run.
  void Compact(const std::vector<int32_t>& kept, TSectionList* document);

 private:
  // Index of the first run whose start is not below position (Count() when none).
  int FirstStartingAtOrAfter(int32_t position) const;
  mutable int hint_ = 0;  // where the last look-up ended
};

}  // namespace html
