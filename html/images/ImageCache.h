// Decoded pictures kept between the loads of a viewer: each under the name its document resolved
// it to, with its mask, how many images of the current document use it and for how many loads
// it has gone unused.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/pictures/Bitmap.h"
#include "platform/runtime/Classes.h"

namespace html {

class TBitmapItem {
 public:
  // image: a TBitmap, a TGIFImage or an imaging-layer picture.
  TBitmapItem(std::unique_ptr<plat::TObject> image, std::unique_ptr<plat::TBitmap> mask,
              uint8_t transp)
      : Transp(transp), MImage(std::move(image)), Mask(std::move(mask)) {}

  int AccessCount = 0;  // loads since the picture was last used
  int UsageCount = 0;   // images of the current document that hold it
  uint8_t Transp;       // transparency kind as the loader reported it
  std::unique_ptr<plat::TObject> MImage;
  std::unique_ptr<plat::TBitmap> Mask;
};

// Names are compared exactly (file names differ by case on this system); the entries stay
// sorted, so look-ups are binary searches. The cache keeps the imaging layer started while it
// exists.
class TStringBitmapList {
 public:
  TStringBitmapList();
  ~TStringBitmapList();
  TStringBitmapList(const TStringBitmapList&) = delete;
  TStringBitmapList& operator=(const TStringBitmapList&) = delete;

  int Count() const { return int(entries_.size()); }
  // Indexes outside the list raise EListError.
  const std::string& Strings(int index) const { return Entry(index).first; }
  TBitmapItem* Objects(int index) const { return Entry(index).second.get(); }
  // True when found; index is the entry or the place a new one would take.
  bool Find(const std::string& name, int& index) const;
  int IndexOf(const std::string& name) const;

  // Adds the entry with one user. A name already present keeps its picture: the new item is
  // freed and the existing entry counts the user instead. Returns the entry's index.
  int AddObject(const std::string& name, std::unique_ptr<TBitmapItem> item);
  // Marks the entry used by one more image (and no longer old); returns its picture.
  plat::TObject* GetImage(int index);
  // One image fewer uses the named entry; the entry stays.
  void DecUsage(const std::string& name);
  // Frees the unused entries older than age loads; age becomes the limit for later ageing.
  void PurgeOld(int age);
  // One more load: every entry grows older, and unused ones older than MaxUsage are freed.
  void AgeAndPurge();
  void Clear() { entries_.clear(); }

  int MaxUsage = 4;

 private:
  using TEntry = std::pair<std::string, std::unique_ptr<TBitmapItem>>;
  const TEntry& Entry(int index) const;
  // Removes the unused entries for which tooOld(AccessCount) holds.
  template <class Predicate>
  void RemoveUnused(Predicate tooOld);

  std::vector<TEntry> entries_;
};

}  // namespace html
