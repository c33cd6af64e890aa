// The ID table of a document: ID and NAME strings mapped to what they designate.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/runtime/Classes.h"

namespace html {

// Anything an ID or NAME can designate: anchors, images, form controls, sections.
class TIDObject : public plat::TObject {
 public:
  // The document y of the object.
  virtual int32_t GetYPosition() = 0;
};

// What the table asks of its document: the y of the character at a source position, or 0 when
// that position is no longer in the document.
class TIDDocument {
 public:
  virtual ~TIDDocument() = default;
  virtual int32_t SourcePosToY(int32_t sourcePos) = 0;
};

// An ID that marks a place in the text.
class TChPosObj : public TIDObject {
 public:
  TChPosObj(int32_t sourcePos, TIDDocument* document) : SourcePos(sourcePos), Document(document) {}
  int32_t GetYPosition() override { return Document ? Document->SourcePosToY(SourcePos) : 0; }

  int32_t SourcePos;
  TIDDocument* Document;
};

// Names compared without regard to case; a later entry replaces an earlier one of the same name.
// Owns only the TChPosObj entries it made.
class TIDNameList {
 public:
  explicit TIDNameList(TIDDocument* ownerList) : OwnerList(ownerList) {}

  int Count() const { return int(entries_.size()); }
  // The object of the name, null when absent.
  TIDObject* Find(const std::string& name) const;

  // The table does not own obj.
  void AddObject(const std::string& name, TIDObject* obj);
  void AddChPosObject(const std::string& name, int32_t position);
  void Clear() { entries_.clear(); }

  TIDDocument* OwnerList;

 private:
  struct Entry {
    TIDObject* object;
    std::unique_ptr<TChPosObj> owned;
  };
  struct TLessIgnoringCase {
    bool operator()(const std::string& a, const std::string& b) const {
      return plat::CompareText(a, b) < 0;
    }
  };
  void Put(const std::string& name, TIDObject* obj, std::unique_ptr<TChPosObj> owned);
  std::map<std::string, Entry, TLessIgnoringCase> entries_;
};

}  // namespace html
