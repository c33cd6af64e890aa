// Folder platform/runtime: the runtime of the layer - exceptions and texts, streams, lists,
// files and folders, property tables, processor features, timers and the desktop shell.
//
// Object model, streams, lists and small runtime classes of the platform layer.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/SysUtils.h"

namespace plat {

// Root of the class tree. ClassName comes from the run-time type, so no class has to declare it.
class TObject {
 public:
  virtual ~TObject() = default;
  // Name of the dynamic class without its namespace, e.g. "TMemoryStream".
  std::string ClassName() const;
};

class TStream;
class TFiler;

// An object whose state can be copied from another one through Assign.
class TPersistent : public TObject {
 public:
  // Copies the source's state; by default the source is asked to assign itself to this object.
  virtual void Assign(const TPersistent& source);
  // Declares the stored values that are not in the property table (a bitmap's pixels); the
  // layout reader and writer call it.
  virtual void DefineProperties(TFiler& filer);

 protected:
  // Called by Assign of another class; the default refuses with EConvertError.
  virtual void AssignTo(TPersistent& dest) const;
  // Raises "Cannot assign a <source> to a <this>".
  [[noreturn]] void AssignError(const TPersistent* source) const;
};

using TNotifyEvent = std::function<void(TObject* sender)>;

// What DefineProperties talks to: the layout reader (which calls the read routine of the value it
// meets) or the writer (which calls the write routine when hasData says so).
class TFiler {
 public:
  using TStreamProc = std::function<void(TStream& stream)>;
  explicit TFiler(const TPersistent* ancestor = nullptr) : ancestor_(ancestor) {}
  virtual ~TFiler() = default;
  // The value the object is compared with when writing (an inherited layout's object), or null.
  const TPersistent* Ancestor() const { return ancestor_; }
  virtual void DefineBinaryProperty(const std::string& name, const TStreamProc& readData,
                                    const TStreamProc& writeData, bool hasData) = 0;

 private:
  const TPersistent* ancestor_;
};

// A re-entrant lock: the same thread may enter again.
class TCriticalSection {
 public:
  void Enter() { mutex_.lock(); }
  void Leave() { mutex_.unlock(); }

 private:
  std::recursive_mutex mutex_;
};

// ---------------------------------------------------------------------------------------------
// Streams

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// File open modes; the sharing flags are accepted for compatibility and have no effect here.
enum : uint32_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,
};

class TStream : public TObject {
 public:
  // Reads up to count bytes; returns how many were read (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes up to count bytes; returns how many were written.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Moves the position; returns the new position, or -1 when the stream cannot seek there.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, soCurrent); }
  // Raises EStreamError when the position cannot be set.
  void SetPosition(int64_t position);
  virtual int64_t Size();
  // Streams that cannot change their size raise EStreamError.
  virtual void SetSize(int64_t size);

  // Read or write exactly count bytes, or raise EReadError / EWriteError.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  void WriteBuffer(const std::string& bytes) { WriteBuffer(bytes.data(), int64_t(bytes.size())); }

  // Copies count bytes from source; count 0 copies the whole source from its start (for a
  // stream that cannot seek, everything up to its end). Returns the number of bytes copied.
  int64_t CopyFrom(TStream& source, int64_t count);
};

// The rest of the stream from its position; none when more than maxSize bytes remain. A stream
// that knows its size is weighed before any of it is read.
std::optional<std::string> ReadRest(TStream& stream, int64_t maxSize);

// A stream over an open file descriptor; the descriptor is not owned.
class THandleStream : public TStream {
 public:
  explicit THandleStream(int handle) : handle_(handle) {}
  int Handle() const { return handle_; }
  // True for a regular disk file (not a pipe, socket or device).
  bool IsRegularFile() const;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;

 protected:
  int handle_;
};

// A file opened by name; mode is fmCreate or one of the fmOpen* modes (plus sharing flags).
class TFileStream : public THandleStream {
 public:
  TFileStream(const std::string& fileName, uint32_t mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  // Failures name the file.
  int64_t Read(void* buffer, int64_t count) override;
  const std::string& FileName() const { return fileName_; }

 private:
  std::string fileName_;
};

// A stream over one block of memory; the derived class decides who owns the block.
class TCustomMemoryStream : public TStream {
 public:
  const void* Memory() const { return memory_; }
  int64_t Size() override { return size_; }
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

 protected:
  void SetPointer(void* memory, int64_t size);
  uint8_t* memory_ = nullptr;
  int64_t size_ = 0;
  int64_t position_ = 0;
};

// A growable stream in memory that owns its bytes.
class TMemoryStream : public TCustomMemoryStream {
 public:
  void* Memory() { return memory_; }
  const void* Memory() const { return memory_; }
  int64_t Write(const void* buffer, int64_t count) override;
  void SetSize(int64_t size) override;
  void Clear();

  // Replace the contents with the whole source (from its start); on failure nothing changes.
  void LoadFromStream(TStream& source);
  void LoadFromFile(const std::string& fileName);
  void SaveToStream(TStream& dest) const;
  // Writes through a temporary file renamed into place, so a failure keeps the old file.
  void SaveToFile(const std::string& fileName) const;

 private:
  std::vector<uint8_t> bytes_;
};

// A read-only stream over memory that the caller keeps alive; writes fail.
class TReadOnlyMemoryStream : public TCustomMemoryStream {
 public:
  TReadOnlyMemoryStream(const void* memory, int64_t size);
  int64_t Write(const void*, int64_t) override { return 0; }
};

// ---------------------------------------------------------------------------------------------
// Lists

// A list of plain pointers; it never owns what they point to.
class TList : public TObject {
 public:
  int Count() const { return int(items_.size()); }
  void* Items(int index) const;
  void SetItems(int index, void* item);
  void* operator[](int index) const { return Items(index); }
  int Add(void* item);
  void Insert(int index, void* item);
  void Delete(int index);
  // Removes the first occurrence; returns its former index or -1.
  int Remove(void* item);
  int IndexOf(void* item) const;
  void Exchange(int index1, int index2);
  void Move(int curIndex, int newIndex);
  void Clear() { items_.clear(); }
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }
  // Stable sort by a comparison returning <0, 0 or >0.
  void Sort(const std::function<int(void*, void*)>& compare);

 protected:
  void CheckIndex(int index, int limit) const;
  std::vector<void*> items_;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// A list of strings, each with an associated object pointer (not owned).
class TStringList : public TPersistent {
 public:
  int Count() const { return int(items_.size()); }
  const std::string& Strings(int index) const;
  void SetStrings(int index, const std::string& text);
  const std::string& operator[](int index) const { return Strings(index); }
  TObject* Objects(int index) const;
  void SetObjects(int index, TObject* object);

  // Adds in sorted position when Sorted, else at the end; returns the index.
  int Add(const std::string& text) { return AddObject(text, nullptr); }
  int AddObject(const std::string& text, TObject* object);
  // Not allowed on a sorted list (EListError).
  void Insert(int index, const std::string& text) { InsertObject(index, text, nullptr); }
  void InsertObject(int index, const std::string& text, TObject* object);
  void Delete(int index);
  void Clear() {
    items_.clear();
    ++revision_;
  }
  int IndexOf(const std::string& text) const;
  int IndexOfObject(const TObject* object) const;
  // Binary search of a sorted list: true when found; index is the match or the insertion point.
  bool Find(const std::string& text, int& index) const;
  void Exchange(int index1, int index2);
  void Sort();

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool caseSensitive);

  // All strings, each followed by a line feed; setting splits at \n, \r\n or \r.
  std::string Text() const;
  void SetText(const std::string& text);
  void LoadFromStream(TStream& source);
  void SaveToStream(TStream& dest) const;
  // A missing or unreadable file raises; the list is unchanged then.
  void LoadFromFile(const std::string& fileName);
  // Written through a temporary file renamed into place.
  void SaveToFile(const std::string& fileName) const;

  void Assign(const TPersistent& source) override;

  // <0, 0, >0 under the list's case rule.
  int CompareStrings(const std::string& a, const std::string& b) const;
  // Changes whenever the strings or their order change, so that a view of them can tell at once
  // whether it is still up to date.
  uint64_t Revision() const { return revision_; }

 private:
  struct Item {
    std::string text;
    TObject* object;
  };
  void CheckIndex(int index, int limit) const;
  void ReplaceItems(const std::vector<Item>& items);
  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = dupIgnore;
  uint64_t revision_ = 0;
};

}  // namespace plat
