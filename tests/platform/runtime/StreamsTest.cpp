// File, handle and memory streams: round trips, short reads, copies, errors.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <thread>

#include "ScratchFolder.h"
#include "platform/runtime/Classes.h"
#include "platform/runtime/Files.h"
#include "support/NamedPipe.h"

using namespace plat;
using runtime_test::ReadRaw;
using runtime_test::ScratchFolder;
using runtime_test::WriteRaw;

namespace {

std::string RandomBytes(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(count, '\0');
  for (char& c : bytes) c = char(random());
  return bytes;
}

std::string Contents(TMemoryStream& stream) {
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.Size()));
}

TEST(FileStream, WriteThenReadBack) {
  ScratchFolder folder;
  std::string bytes = RandomBytes(150000, 1);
  {
    TFileStream out(folder / "f.bin", fmCreate);
    out.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    EXPECT_EQ(out.Position(), 150000);
    EXPECT_TRUE(out.IsRegularFile());
  }
  EXPECT_EQ(ReadRaw(folder / "f.bin"), bytes);
  TFileStream in(folder / "f.bin", fmOpenRead | fmShareDenyWrite);
  EXPECT_EQ(in.Size(), 150000);
  in.SetPosition(100);
  char part[10];
  in.ReadBuffer(part, 10);
  EXPECT_EQ(std::string(part, 10), bytes.substr(100, 10));
  EXPECT_EQ(in.Seek(-5, soEnd), 149995);
  EXPECT_EQ(in.Read(part, 10), 5);
  EXPECT_EQ(in.Read(part, 10), 0);
}

TEST(FileStream, CreateTruncatesAndOpenWriteKeeps) {
  ScratchFolder folder;
  WriteRaw(folder / "f", "abcdef");
  { TFileStream(folder / "f", fmOpenWrite).WriteBuffer(std::string("XY")); }
  EXPECT_EQ(ReadRaw(folder / "f"), "XYcdef");
  { TFileStream(folder / "f", fmCreate).WriteBuffer(std::string("Z")); }
  EXPECT_EQ(ReadRaw(folder / "f"), "Z");
  TFileStream both(folder / "f", fmOpenReadWrite);
  both.SetSize(3);
  EXPECT_EQ(both.Size(), 3);
}

TEST(FileStream, OpenErrorsNameTheFileAndTheReason) {
  ScratchFolder folder;
  std::string missing = folder / "no such.png";
  try {
    TFileStream stream(missing, fmOpenRead);
    FAIL() << "opened a missing file";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open file \"" + missing + "\". No such file or directory");
  }
  try {
    TFileStream stream(folder / "sub/new.png", fmCreate);
    FAIL() << "created a file in a missing folder";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(
        std::string(e.what()).rfind("Cannot create file \"" + folder / "sub/new.png" + "\". ", 0),
        0u);
  }
  EXPECT_THROW(TFileStream(folder.Path(), fmOpenRead), EFOpenError);
  // Both are stream errors to callers that only care about that.
  EXPECT_THROW(TFileStream(missing, fmOpenRead), EStreamError);
}

// What a user reads when a file opened fine but its reading failed: which file, and why.
TEST(FileStream, ReadFailuresNameTheFile) {
  const auto failure = [](const auto& read) {
    try {
      read();
    } catch (const EReadError& e) {
      return std::string(e.what());
    }
    return std::string("read");
  };
  // Opens as a regular file; every read of its start fails.
  const std::string failing = "/proc/self/mem";
  EXPECT_EQ(failure([&] {
              char byte;
              TFileStream(failing, fmOpenRead).Read(&byte, 1);
            }).rfind("Cannot read file \"" + failing + "\". ", 0),
            0u);
  EXPECT_EQ(failure([&] { ReadFileBytes(failing, 100); }),
            "Cannot read file \"" + failing + "\": its size cannot be told");
  // Says it holds 4096 bytes and gives a few: as a file cut short while it is read.
  const std::string shorter = "/sys/kernel/mm/transparent_hugepage/enabled";
  if (::access(shorter.c_str(), R_OK) == 0)
    EXPECT_EQ(failure([&] { ReadFileBytes(shorter, 1 << 20); }),
              "Cannot read file \"" + shorter + "\": it grew shorter while it was read");
}

TEST(FileStream, OnlyRegularFilesOpenByNameAndNoneWaits) {
  ScratchFolder folder;
  const auto refused = [](const std::string& name, uint32_t mode) {
    try {
      TFileStream stream(name, mode);
    } catch (const EStreamError& e) {
      return std::string(e.what());
    }
    return std::string("opened");
  };
  test_support::NamedPipe pipe(folder / "pipe");
  ASSERT_TRUE(pipe.Made());
  for (uint32_t mode : {uint32_t(fmOpenRead | fmShareDenyWrite), uint32_t(fmOpenWrite),
                        uint32_t(fmOpenReadWrite), uint32_t(fmCreate)}) {
    SCOPED_TRACE(mode);
    std::string message;
    EXPECT_TRUE(pipe.ReturnsWithoutWaiting([&] { message = refused(pipe.Path(), mode); }));
    EXPECT_NE(message.find("\"" + pipe.Path() + "\""), std::string::npos) << message;
  }
  // A device may never end; a folder is none either.
  EXPECT_EQ(refused("/dev/zero", fmOpenRead), "Cannot open file \"/dev/zero\". Not a regular file");
  EXPECT_EQ(refused("/dev/null", fmCreate), "Cannot create file \"/dev/null\". Not a regular file");
  EXPECT_EQ(refused(folder.Path(), fmOpenRead),
            "Cannot open file \"" + folder.Path() + "\". Is a directory");
  // A file is read as it always was: a read waits for the disk, not for nothing.
  WriteRaw(folder / "file", "bytes");
  TFileStream file(folder / "file", fmOpenRead);
  EXPECT_EQ(::fcntl(file.Handle(), F_GETFL) & O_NONBLOCK, 0);
}

TEST(FileStream, TheRestIsReadUpToALimitAndAFileOverItNotAtAll) {
  ScratchFolder folder;
  WriteRaw(folder / "small", "0123456789");
  TFileStream small(folder / "small", fmOpenRead);
  small.SetPosition(4);
  EXPECT_EQ(ReadRest(small, 6), "456789");
  small.SetPosition(3);
  EXPECT_EQ(ReadRest(small, 6), std::nullopt);
  // Gigabytes on the disk are weighed, not read.
  WriteRaw(folder / "huge", "");
  ASSERT_EQ(::truncate((folder / "huge").c_str(), off_t(3) << 30), 0);
  TFileStream huge(folder / "huge", fmOpenRead);
  EXPECT_EQ(ReadRest(huge, 1 << 20), std::nullopt);
  EXPECT_EQ(huge.Position(), 0);
  // A pipe has no size: it is read up to one byte past the limit.
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ASSERT_EQ(::write(ends[1], "abcdefgh", 8), 8);
  ::close(ends[1]);
  THandleStream pipe(ends[0]);
  EXPECT_EQ(ReadRest(pipe, 7), std::nullopt);
  EXPECT_EQ(pipe.Read(ends, 1), 0);  // the eighth byte was read
  ::close(ends[0]);
}

TEST(StreamBuffers, ShortReadAndFailedWriteRaise) {
  const char data[] = "abc";
  TReadOnlyMemoryStream source(data, 3);
  char buffer[4];
  try {
    source.ReadBuffer(buffer, 4);
    FAIL() << "short read not reported";
  } catch (const EReadError& e) {
    EXPECT_STREQ(e.what(), "Stream read error");
  }
  EXPECT_THROW(source.WriteBuffer("x", 1), EWriteError);
  EXPECT_THROW(source.SetSize(1), EStreamError);
  source.SetPosition(0);
  source.ReadBuffer(buffer, 0);
  source.ReadBuffer(buffer, 3);
  EXPECT_EQ(std::string(buffer, 3), "abc");
}

TEST(MemoryStream, GrowsSeeksAndReads) {
  TMemoryStream stream;
  EXPECT_EQ(stream.Size(), 0);
  stream.WriteBuffer(std::string("hello"));
  stream.SetPosition(10);
  stream.WriteBuffer(std::string("!"));
  EXPECT_EQ(stream.Size(), 11);
  EXPECT_EQ(Contents(stream), std::string("hello\0\0\0\0\0!", 11));
  EXPECT_EQ(stream.Seek(2, soBeginning), 2);
  EXPECT_EQ(stream.Seek(1, soCurrent), 3);
  char two[2];
  EXPECT_EQ(stream.Read(two, 2), 2);
  EXPECT_EQ(std::string(two, 2), "lo");
  // Past the end: reading gives nothing, negative positions are refused.
  EXPECT_EQ(stream.Seek(5, soEnd), 16);
  EXPECT_EQ(stream.Read(two, 2), 0);
  EXPECT_EQ(stream.Seek(-17, soEnd), -1);
  EXPECT_THROW(stream.SetPosition(-1), EStreamError);
  stream.SetSize(4);
  EXPECT_EQ(stream.Position(), 4);
  EXPECT_EQ(Contents(stream), "hell");
  EXPECT_THROW(stream.SetSize(-1), EStreamError);
  stream.Clear();
  EXPECT_EQ(stream.Size(), 0);
  EXPECT_EQ(stream.Position(), 0);
}

TEST(MemoryStream, FileRoundTrip) {
  ScratchFolder folder;
  std::string bytes = RandomBytes(70000, 2);
  TMemoryStream out;
  out.WriteBuffer(bytes);
  out.SaveToFile(folder / "m.bin");
  EXPECT_EQ(ReadRaw(folder / "m.bin"), bytes);
  TMemoryStream in;
  in.WriteBuffer(std::string("old"));
  in.LoadFromFile(folder / "m.bin");
  EXPECT_EQ(Contents(in), bytes);
  EXPECT_EQ(in.Position(), 0);
  EXPECT_THROW(in.LoadFromFile(folder / "missing"), EFOpenError);
  EXPECT_EQ(Contents(in), bytes);
}

// Gives a few bytes, then fails like a broken device.
class FailingStream : public TStream {
 public:
  int64_t Read(void* buffer, int64_t count) override {
    if (given_) throw EReadError("Stream read error");
    given_ = true;
    std::memset(buffer, 'z', size_t(count));
    return count;
  }
  int64_t Write(const void*, int64_t) override { return 0; }
  int64_t Seek(int64_t, TSeekOrigin) override { return 0; }
  int64_t Size() override { return 200000; }

 private:
  bool given_ = false;
};

TEST(MemoryStream, FailedLoadKeepsTheContents) {
  TMemoryStream stream;
  stream.WriteBuffer(std::string("keep"));
  FailingStream broken;
  EXPECT_THROW(stream.LoadFromStream(broken), EReadError);
  EXPECT_EQ(Contents(stream), "keep");
}

TEST(CopyFrom, ZeroMeansTheWholeSourceFromItsStart) {
  std::string bytes = RandomBytes(200001, 3);
  TReadOnlyMemoryStream source(bytes.data(), int64_t(bytes.size()));
  source.SetPosition(150000);
  TMemoryStream dest;
  dest.WriteBuffer(std::string("head:"));
  EXPECT_EQ(dest.CopyFrom(source, 0), 200001);
  EXPECT_EQ(Contents(dest), "head:" + bytes);
}

TEST(CopyFrom, CountCopiesFromTheCurrentPosition) {
  std::string bytes = RandomBytes(1000, 4);
  TReadOnlyMemoryStream source(bytes.data(), 1000);
  source.SetPosition(10);
  TMemoryStream dest;
  EXPECT_EQ(dest.CopyFrom(source, 20), 20);
  EXPECT_EQ(Contents(dest), bytes.substr(10, 20));
  EXPECT_EQ(source.Position(), 30);
  EXPECT_THROW(dest.CopyFrom(source, 971), EReadError);
}

TEST(CopyFrom, APipeIsCopiedToItsEnd) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  std::string bytes = RandomBytes(300000, 5);
  std::thread writer([&] {
    THandleStream out(fds[1]);
    out.WriteBuffer(bytes);
    close(fds[1]);
  });
  THandleStream in(fds[0]);
  EXPECT_FALSE(in.IsRegularFile());
  TMemoryStream dest;
  dest.LoadFromStream(in);
  writer.join();
  close(fds[0]);
  EXPECT_EQ(Contents(dest), bytes);
}

}  // namespace
