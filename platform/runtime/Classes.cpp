#include "platform/runtime/Classes.h"

#include <cxxabi.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <typeinfo>

#include "platform/runtime/Files.h"

namespace plat {

// ---------------------------------------------------------------------------------------------
// Object model

namespace {

// Drops namespaces of the outermost name: "gfx::TBitmap32" -> "TBitmap32".
std::string WithoutNamespace(const std::string& name) {
  size_t end = name.find('<');
  size_t colon = name.rfind("::", end);
  return colon == std::string::npos ? name : name.substr(colon + 2);
}

}  // namespace

std::string TObject::ClassName() const {
  const char* mangled = typeid(*this).name();
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> demangled(
      abi::__cxa_demangle(mangled, nullptr, nullptr, &status), &std::free);
  return WithoutNamespace(status == 0 && demangled ? demangled.get() : mangled);
}

void TPersistent::Assign(const TPersistent& source) {
  source.AssignTo(*this);
}

void TPersistent::DefineProperties(TFiler&) {}

void TPersistent::AssignTo(TPersistent& dest) const {
  dest.AssignError(this);
}

void TPersistent::AssignError(const TPersistent* source) const {
  std::string sourceName = source ? source->ClassName() : "nil";
  throw EConvertError(Format("Cannot assign a %s to a %s", {sourceName, ClassName()}));
}

// ---------------------------------------------------------------------------------------------
// TStream

void TStream::SetPosition(int64_t position) {
  if (position < 0 || Seek(position, soBeginning) != position)
    throw EStreamError("Stream seek error");
}

int64_t TStream::Size() {
  int64_t position = Seek(0, soCurrent);
  int64_t size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::SetSize(int64_t) {
  throw EStreamError("Stream size cannot be changed");
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count < 0 || (count > 0 && Read(buffer, count) != count))
    throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count < 0 || (count > 0 && Write(buffer, count) != count))
    throw EWriteError("Stream write error");
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  constexpr int64_t kChunk = 64 * 1024;
  std::vector<uint8_t> buffer(kChunk);
  bool toEnd = false;
  if (count == 0) {
    // A pipe cannot go back to its start: copy what remains of it.
    toEnd = source.Seek(0, soBeginning) < 0;
    if (!toEnd) count = source.Size();
  }
  if (count < 0) throw EReadError("Stream read error");
  int64_t copied = 0;
  if (toEnd) {
    for (int64_t n; (n = source.Read(buffer.data(), kChunk)) > 0; copied += n)
      WriteBuffer(buffer.data(), n);
    return copied;
  }
  while (copied < count) {
    int64_t n = std::min(kChunk, count - copied);
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    copied += n;
  }
  return copied;
}

std::optional<std::string> ReadRest(TStream& stream, int64_t maxSize) {
  const int64_t position = stream.Seek(0, soCurrent);
  const int64_t size = position >= 0 ? stream.Size() : -1;
  if (size >= 0 && size - position > maxSize) return std::nullopt;
  std::string bytes;
  if (size > position) bytes.reserve(size_t(size - position));
  char chunk[65536];
  for (;;) {
    // One byte past the limit says there is more than it allows.
    const int64_t want = std::min<int64_t>(sizeof chunk, maxSize + 1 - int64_t(bytes.size()));
    if (want <= 0) return std::nullopt;
    const int64_t got = stream.Read(chunk, want);
    if (got <= 0) return bytes;
    bytes.append(chunk, size_t(got));
  }
}

// ---------------------------------------------------------------------------------------------
// THandleStream, TFileStream

bool THandleStream::IsRegularFile() const {
  struct stat info;
  return fstat(handle_, &info) == 0 && S_ISREG(info.st_mode);
}

int64_t THandleStream::Read(void* buffer, int64_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::read(handle_, out + done, size_t(std::min<int64_t>(count - done, 1 << 30)));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EReadError(Format("Stream read error. %s", {SysErrorMessage(errno)}));
    if (n == 0) break;
    done += n;
  }
  return done;
}

int64_t THandleStream::Write(const void* buffer, int64_t count) {
  auto* in = static_cast<const uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count) {
    ssize_t n = ::write(handle_, in + done, size_t(std::min<int64_t>(count - done, 1 << 30)));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EWriteError(Format("Stream write error. %s", {SysErrorMessage(errno)}));
    if (n == 0) break;
    done += n;
  }
  return done;
}

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin) {
  int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  return ::lseek(handle_, off_t(offset), whence);
}

void THandleStream::SetSize(int64_t size) {
  if (size < 0 || ::ftruncate(handle_, off_t(size)) != 0)
    RaiseLastOSError(size < 0 ? EINVAL : errno);
  if (Position() > size) SetPosition(size);
}

namespace {

[[noreturn]] void RaiseOpenError(const std::string& fileName, bool create,
                                 const std::string& reason) {
  if (create) throw EFCreateError(Format("Cannot create file \"%s\". %s", {fileName, reason}));
  throw EFOpenError(Format("Cannot open file \"%s\". %s", {fileName, reason}));
}

int OpenFile(const std::string& fileName, uint32_t mode) {
  const bool create = (mode & fmCreate) == fmCreate;
  const int access = create                          ? O_RDWR | O_CREAT | O_TRUNC
                     : (mode & 3) == fmOpenWrite     ? O_WRONLY
                     : (mode & 3) == fmOpenReadWrite ? O_RDWR
                                                     : O_RDONLY;
  // Without waiting: opening a named pipe would wait for its other end.
  int fd = ::open(fileName.c_str(), access | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) RaiseOpenError(fileName, create, SysErrorMessage(errno));
  // A folder opens for reading, a pipe or a device opens too, but none is a file: a device may
  // never end, and reading a pipe waits for a writer.
  struct stat info;
  std::string problem;
  if (fstat(fd, &info) != 0)
    problem = SysErrorMessage(errno);
  else if (S_ISDIR(info.st_mode))
    problem = SysErrorMessage(EISDIR);
  else if (!S_ISREG(info.st_mode))
    problem = "Not a regular file";
  else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
    problem = SysErrorMessage(errno);
  if (problem.empty()) return fd;
  ::close(fd);
  RaiseOpenError(fileName, create, problem);
}

}  // namespace

TFileStream::TFileStream(const std::string& fileName, uint32_t mode)
    : THandleStream(OpenFile(fileName, mode)), fileName_(fileName) {}

TFileStream::~TFileStream() {
  ::close(handle_);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  try {
    return THandleStream::Read(buffer, count);
  } catch (const EReadError& e) {
    throw EReadError(Format("Cannot read file \"%s\". %s", {fileName_, e.Message()}));
  }
}

// ---------------------------------------------------------------------------------------------
// Memory streams

void TCustomMemoryStream::SetPointer(void* memory, int64_t size) {
  memory_ = static_cast<uint8_t*>(memory);
  size_ = size;
}

int64_t TCustomMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || position_ >= size_) return 0;
  int64_t n = std::min(count, size_ - position_);
  std::memcpy(buffer, memory_ + position_, size_t(n));
  position_ += n;
  return n;
}

int64_t TCustomMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  int64_t base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : size_;
  if ((offset < 0 && base + offset < 0) || (offset > 0 && offset > INT64_MAX - base)) return -1;
  position_ = base + offset;
  return position_;
}

TReadOnlyMemoryStream::TReadOnlyMemoryStream(const void* memory, int64_t size) {
  SetPointer(const_cast<void*>(memory), size);
}

void TMemoryStream::SetSize(int64_t size) {
  if (size < 0) throw EStreamError("Stream size cannot be negative");
  try {
    bytes_.resize(size_t(size));
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory("Out of memory");
  } catch (const std::length_error&) {
    throw EOutOfMemory("Out of memory");
  }
  SetPointer(bytes_.data(), size);
  if (position_ > size) position_ = size;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  if (position_ > INT64_MAX - count) return 0;
  int64_t end = position_ + count;
  if (end > size_) {
    int64_t position = position_;
    if (end > int64_t(bytes_.capacity())) {
      try {
        bytes_.reserve(size_t(std::max(end, int64_t(bytes_.capacity()) * 3 / 2)));
      } catch (const std::exception&) {
        throw EOutOfMemory("Out of memory");
      }
    }
    SetSize(end);
    position_ = position;
  }
  std::memcpy(memory_ + position_, buffer, size_t(count));
  position_ = end;
  return count;
}

void TMemoryStream::Clear() {
  bytes_.clear();
  bytes_.shrink_to_fit();
  SetPointer(nullptr, 0);
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  TMemoryStream loaded;
  loaded.CopyFrom(source, 0);
  bytes_.swap(loaded.bytes_);
  SetPointer(bytes_.data(), loaded.size_);
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& dest) const {
  dest.WriteBuffer(memory_, size_);
}

void TMemoryStream::SaveToFile(const std::string& fileName) const {
  WriteFileAtomically(fileName,
                      std::string_view(reinterpret_cast<const char*>(memory_), size_t(size_)));
}

// ---------------------------------------------------------------------------------------------
// TList

void TList::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit)
    throw EListError(Format("List index out of bounds (%d)", {index}));
}

void* TList::Items(int index) const {
  CheckIndex(index, Count());
  return items_[size_t(index)];
}

void TList::SetItems(int index, void* item) {
  CheckIndex(index, Count());
  items_[size_t(index)] = item;
}

int TList::Add(void* item) {
  items_.push_back(item);
  return Count() - 1;
}

void TList::Insert(int index, void* item) {
  CheckIndex(index, Count() + 1);
  items_.insert(items_.begin() + index, item);
}

void TList::Delete(int index) {
  CheckIndex(index, Count());
  items_.erase(items_.begin() + index);
}

int TList::Remove(void* item) {
  int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

int TList::IndexOf(void* item) const {
  auto found = std::find(items_.begin(), items_.end(), item);
  return found == items_.end() ? -1 : int(found - items_.begin());
}

void TList::Exchange(int index1, int index2) {
  CheckIndex(index1, Count());
  CheckIndex(index2, Count());
  std::swap(items_[size_t(index1)], items_[size_t(index2)]);
}

void TList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  CheckIndex(newIndex, Count());
  void* item = Items(curIndex);
  Delete(curIndex);
  Insert(newIndex, item);
}

void TList::Sort(const std::function<int(void*, void*)>& compare) {
  std::stable_sort(items_.begin(), items_.end(),
                   [&](void* a, void* b) { return compare(a, b) < 0; });
}

// ---------------------------------------------------------------------------------------------
// TStringList

void TStringList::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit)
    throw EListError(Format("List index out of bounds (%d)", {index}));
}

const std::string& TStringList::Strings(int index) const {
  CheckIndex(index, Count());
  return items_[size_t(index)].text;
}

void TStringList::SetStrings(int index, const std::string& text) {
  if (sorted_) throw EListError("Operation not allowed on sorted list");
  CheckIndex(index, Count());
  items_[size_t(index)].text = text;
  ++revision_;
}

TObject* TStringList::Objects(int index) const {
  CheckIndex(index, Count());
  return items_[size_t(index)].object;
}

void TStringList::SetObjects(int index, TObject* object) {
  CheckIndex(index, Count());
  items_[size_t(index)].object = object;
}

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
  return caseSensitive_ ? CompareStr(a, b) : CompareText(a, b);
}

int TStringList::AddObject(const std::string& text, TObject* object) {
  int index = Count();
  if (sorted_ && Find(text, index)) {
    if (duplicates_ == dupIgnore) return index;
    if (duplicates_ == dupError) throw EListError("String list does not allow duplicates");
    // Accepted duplicates go after the equal ones, keeping the order they were added in.
    while (index < Count() && CompareStrings(items_[size_t(index)].text, text) == 0) ++index;
  }
  items_.insert(items_.begin() + index, Item{text, object});
  ++revision_;
  return index;
}

void TStringList::InsertObject(int index, const std::string& text, TObject* object) {
  if (sorted_) throw EListError("Operation not allowed on sorted list");
  CheckIndex(index, Count() + 1);
  items_.insert(items_.begin() + index, Item{text, object});
  ++revision_;
}

void TStringList::Delete(int index) {
  CheckIndex(index, Count());
  items_.erase(items_.begin() + index);
  ++revision_;
}

int TStringList::IndexOf(const std::string& text) const {
  if (sorted_) {
    int index;
    return Find(text, index) ? index : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (CompareStrings(items_[size_t(i)].text, text) == 0) return i;
  return -1;
}

int TStringList::IndexOfObject(const TObject* object) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[size_t(i)].object == object) return i;
  return -1;
}

bool TStringList::Find(const std::string& text, int& index) const {
  // Lower bound: the first entry not less than text, which is the first of equal entries.
  auto found = std::lower_bound(items_.begin(), items_.end(), text,
                                [this](const Item& item, const std::string& key) {
                                  return CompareStrings(item.text, key) < 0;
                                });
  index = int(found - items_.begin());
  return found != items_.end() && CompareStrings(found->text, text) == 0;
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1, Count());
  CheckIndex(index2, Count());
  std::swap(items_[size_t(index1)], items_[size_t(index2)]);
  ++revision_;
}

void TStringList::Sort() {
  std::stable_sort(items_.begin(), items_.end(), [this](const Item& a, const Item& b) {
    return CompareStrings(a.text, b.text) < 0;
  });
  ++revision_;
}

void TStringList::SetSorted(bool sorted) {
  if (sorted && !sorted_) Sort();
  sorted_ = sorted;
}

void TStringList::SetCaseSensitive(bool caseSensitive) {
  if (caseSensitive == caseSensitive_) return;
  caseSensitive_ = caseSensitive;
  if (sorted_) Sort();
}

std::string TStringList::Text() const {
  std::string text;
  for (const Item& item : items_) {
    text += item.text;
    text += '\n';
  }
  return text;
}

void TStringList::SetText(const std::string& text) {
  std::vector<Item> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(Item{text.substr(start, end - start), nullptr});
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
  ReplaceItems(lines);
}

void TStringList::ReplaceItems(const std::vector<Item>& items) {
  // Built aside, so a rejected duplicate leaves the list as it was.
  TStringList result;
  result.sorted_ = sorted_;
  result.caseSensitive_ = caseSensitive_;
  result.duplicates_ = duplicates_;
  for (const Item& item : items) result.AddObject(item.text, item.object);
  items_.swap(result.items_);
  ++revision_;
}

void TStringList::LoadFromStream(TStream& source) {
  TMemoryStream bytes;
  bytes.LoadFromStream(source);
  SetText(std::string(static_cast<const char*>(bytes.Memory()), size_t(bytes.Size())));
}

void TStringList::SaveToStream(TStream& dest) const {
  dest.WriteBuffer(Text());
}

void TStringList::LoadFromFile(const std::string& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TStringList::SaveToFile(const std::string& fileName) const {
  WriteFileAtomically(fileName, Text());
}

void TStringList::Assign(const TPersistent& source) {
  const auto* list = dynamic_cast<const TStringList*>(&source);
  if (!list) return TPersistent::Assign(source);
  if (list == this) return;
  ReplaceItems(list->items_);
}

}  // namespace plat
