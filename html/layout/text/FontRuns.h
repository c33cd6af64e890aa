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

  int32_t LinkID() const override { return Link ? Link->ID : 0; }
  void SetHover(bool value) override;
  void SetVisited(bool value);

  void ReplaceFont(std::shared_ptr<const TMyFont> font);
  void ApplyFontInfo(const ThtFontInfo& info);
  void CreateFontInfos();
  const std::string& GetURL() const;
  // The run belongs to a link with an address.
  bool IsLink() const { return Link && !Link->URL.empty(); }
  // The run's link record, made when first asked for.
  TUrlTarget& LinkRecord();
  // LineHeight, with the descent.
  int32_t GetHeights(int32_t& descent) const {
    descent = Descent;
    return LineHeight;
  }

  // Gives the link its place in the Tab order unless an earlier run of the link has one.
  void CreateFocusControl(int32_t tabIndex);
  // Records the document y of the link's first line on the run that holds its focus window.
  void AssignLinkY(int32_t y);
  void FocusEnter();
  void FocusExit();
  // The focus window passes to `to` (a later run of the same link).
  void HandFocusControlTo(TFontObj& to);

  TSection* Section;
  bool IsVisited = false;
  bool IsHovered = false;
  int32_t LinkY = 0;
  bool IsFocused = false;
  int32_t StartPos;
  std::shared_ptr<const TMyFont> Font;
  std::unique_ptr<TFontInfoArray> FontInfos;  // link, visited, hovered, visited and hovered
  int32_t LineHeight = 0;
  int32_t TextHeight = 0;
  int32_t Overhang = 0;
  int32_t Descent = 0;
  uint8_t ScriptShift = 0;                      // 8 subscript, 9 superscript, else 0
  std::unique_ptr<TUrlTarget> Link;             // none for most runs, which never meet a link
  std::unique_ptr<ThtTabcontrol> FocusControl;  // parented to the paint panel
  std::string Title;

 private:
  void FontChanged();
  void ApplyLinkState();
  void BindFocusHandlers();
  TSectionList* Document() const;
  // The runs of this link from this one on, in the document's link list, while the ID matches.
  template <class Visit>
  void ForFollowingRunsOfLink(Visit&& visit);
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
