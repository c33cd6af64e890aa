// What the document root asks of the objects that the rest of the engine puts into its lists:
// forms, control and panel windows, link runs, hovered images, pictures drawn
// after the text and the Tab order of page controls. The classes that fill these roles derive
// from the interfaces here.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "html/base/PageUtils.h"
#include "platform/pictures/Bitmap.h"
#include "platform/windows/Controls.h"

namespace html {

// A window of the page (a form control or a host panel). Painting sets ShowIt for what it
// shows; the document clears the flags when it scrolls and parks what stayed hidden.
class TPageWindowObj {
 public:
  virtual ~TPageWindowObj() = default;
  // The window control, or null while there is none.
  virtual plat::TWinControl* WindowControl() const = 0;

  bool ShowIt = false;
};

// One FORM of the document.
class TDocumentForm {
 public:
  virtual ~TDocumentForm() = default;
  // Sizes every control of the form with the canvas's fonts.
  virtual void SetSizes(plat::TCanvas& canvas) = 0;
  // Clears ShowIt of every control of the form.
  virtual void ClearShownFlags() = 0;
  // The name=value lines of every control that submits something.
  virtual std::unique_ptr<plat::TStringList> GetFormSubmission() = 0;
};

// A stretch of linked text; every run of one link has the same LinkID.
class TLinkRun {
 public:
  virtual ~TLinkRun() = default;
  virtual int32_t LinkID() const = 0;
  virtual void SetHover(bool value) = 0;

 private:
  friend size_t FindLinkRun(const std::vector<TLinkRun*>& runs, const TLinkRun& run);
  friend void AddLinkRun(std::vector<TLinkRun*>& runs, TLinkRun& run);
  friend void DropLinkRun(std::vector<TLinkRun*>& runs, TLinkRun& run);
  static constexpr uint32_t kNotListed = UINT32_MAX;
  // The place to remember for place in a list of count runs: one too far is searched for.
  static uint32_t Remembered(size_t place, size_t count);
  // Where the run was last seen in the document's list; runs are only appended or taken out,
  // so it stands there or a little before. 32 bits leave the rest of the word to the run.
  mutable uint32_t listed_ = kNotListed;
};

// The document's link runs, in document order, looked up through the place each run remembers:
// pages with many links stay linear.
// The index of run in runs, or runs.size().
size_t FindLinkRun(const std::vector<TLinkRun*>& runs, const TLinkRun& run);
// Appends run unless the list holds it already.
void AddLinkRun(std::vector<TLinkRun*>& runs, TLinkRun& run);
// Takes run out of the list when it is there.
void DropLinkRun(std::vector<TLinkRun*>& runs, TLinkRun& run);

// Gives every run of `runs` that belongs to run's link (the neighbours of run with its LinkID)
// the hover look, or takes it away.
void SetAllHovers(TLinkRun& run, const std::vector<TLinkRun*>& runs, bool value);

enum class THoverState : uint8_t { hvOff, hvOverUp, hvOverDown };

// An image that reacts to the mouse.
class THoverImage {
 public:
  virtual ~THoverImage() = default;
  virtual void SetHover(THoverState state) = 0;
};

// A picture that painting queued to draw after the text.
class TDeferredImage {
 public:
  virtual ~TDeferredImage() = default;
  virtual void Draw(plat::TCanvas& canvas) = 0;
};

class TDrawList : public TFreeList<TDeferredImage> {
 public:
  void DrawImages(plat::TCanvas& canvas);
};

// A picture of the engine that is neither a platform bitmap nor a GIF animation (pictures of
// the imaging library).
class THtmlPicture {
 public:
  virtual ~THtmlPicture() = default;
  virtual int ImageWidth() const = 0;
  virtual int ImageHeight() const = 0;
  // The picture (its current frame) as a new bitmap.
  virtual std::unique_ptr<plat::TBitmap> ToBitmap() const = 0;
};

// Page controls that carry a TABINDEX, in Tab order: by TABINDEX, then in the order added. A
// control may be null (an object with no window yet); it is then skipped.
class TTabOrderList {
 public:
  struct Entry {
    int32_t TabIndex;
    int64_t Sequence;
    plat::TWinControl* Control;
  };

  int Count() const { return int(entries_.size()); }
  bool Empty() const { return entries_.empty(); }
  void Add(int32_t tabIndex, plat::TWinControl* control);
  // Forgets a control that is about to be freed.
  void Remove(const plat::TWinControl* control);
  void Clear() { entries_.clear(); }
  // Entries in Tab order.
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;  // kept sorted
  int64_t nextSequence_ = 0;
};

}  // namespace html
