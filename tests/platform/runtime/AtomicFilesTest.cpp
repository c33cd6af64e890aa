// Atomic replacement of files and the program's folders.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "ScratchFolder.h"
#include "platform/runtime/Files.h"

using namespace plat;
using runtime_test::ReadRaw;
using runtime_test::ScopedEnv;
using runtime_test::ScratchFolder;
using runtime_test::WriteRaw;
using Strings = std::vector<std::string>;

namespace {

mode_t ModeOf(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

TEST(AtomicWrite, CreatesAndReplaces) {
  ScratchFolder folder;
  WriteFileAtomically(folder / "settings.ini", "one");
  EXPECT_EQ(ReadRaw(folder / "settings.ini"), "one");
  chmod((folder / "settings.ini").c_str(), 0640);
  WriteFileAtomically(folder / "settings.ini", std::string("two\0", 4));
  EXPECT_EQ(ReadRaw(folder / "settings.ini"), std::string("two\0", 4));
  EXPECT_EQ(ModeOf(folder / "settings.ini"), 0640u);
  EXPECT_EQ(folder.Names(), (Strings{"settings.ini"}));
}

TEST(AtomicWrite, AThrowingWriterKeepsTheOldFile) {
  ScratchFolder folder;
  WriteRaw(folder / "pic.jpg", "old picture");
  try {
    TAtomicFileStream out(folder / "pic.jpg");
    out.WriteBuffer(std::string("half a new pic"));
    EXPECT_EQ(ExtractFilePath(out.TempFileName()), folder.Path() + "/");
    EXPECT_TRUE(FileExists(out.TempFileName()));
    throw std::runtime_error("encoder failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(ReadRaw(folder / "pic.jpg"), "old picture");
  EXPECT_EQ(folder.Names(), (Strings{"pic.jpg"}));
}

TEST(AtomicWrite, MissingFolderRaisesAndLeavesNothing) {
  ScratchFolder folder;
  EXPECT_THROW(WriteFileAtomically(folder / "sub/x.txt", "x"), EFCreateError);
  EXPECT_TRUE(folder.Names().empty());
}

TEST(AtomicWrite, AFailedRenameLeavesNoTemporaryFile) {
  ScratchFolder folder;
  std::filesystem::create_directory(folder / "taken");
  WriteRaw(folder / "taken/inside", "x");
  EXPECT_THROW(WriteFileAtomically(folder / "taken", "new"), EFCreateError);
  EXPECT_TRUE(DirectoryExists(folder / "taken"));
  EXPECT_EQ(ReadRaw(folder / "taken/inside"), "x");
  EXPECT_EQ(folder.Names(), (Strings{"taken"}));
}

TEST(AtomicWrite, ReadOnlyFolderKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the super-user";
  ScratchFolder folder;
  WriteRaw(folder / "keep.txt", "old");
  chmod(folder.Path().c_str(), 0555);
  try {
    WriteFileAtomically(folder / "keep.txt", "new");
    ADD_FAILURE() << "wrote into a read-only folder";
  } catch (const EFCreateError& e) {
    // The file itself could be written: the folder, which takes no new file, is what failed.
    EXPECT_EQ(std::string(e.what()).rfind("Cannot replace file \"" + folder / "keep.txt" + "\"", 0),
              0u);
    EXPECT_NE(std::string(e.what()).find("folder \"" + folder.Path() + "/\""), std::string::npos);
  }
  chmod(folder.Path().c_str(), 0755);
  EXPECT_EQ(ReadRaw(folder / "keep.txt"), "old");
  EXPECT_EQ(folder.Names(), (Strings{"keep.txt"}));
}

// The temporary file's name is longer than the target's unless cut: every name the folder holds
// must be writable, and its temporary name stays valid UTF-8.
TEST(AtomicWrite, NamesUpToTheFoldersLimitAreWrittenAndLongerOnesRefusedAtOnce) {
  ScratchFolder folder;
  std::string twoByteLetters;
  while (twoByteLetters.size() < 254) twoByteLetters += "\xc3\xa9";
  for (const std::string& name :
       {std::string(239, 'a'), std::string(240, 'b'), std::string(255, 'c'), twoByteLetters}) {
    TAtomicFileStream out(folder / name);
    // "." + a start of the name + "." + ten random characters + ".tmp"
    const std::string temporary = ExtractFileName(out.TempFileName());
    EXPECT_LE(temporary.size(), 255u);
    const size_t kept = temporary.size() - 16;
    EXPECT_EQ(temporary.substr(1, kept), name.substr(0, kept));
    EXPECT_TRUE(kept == name.size() || (name[kept] & 0xC0) != 0x80) << "cut inside a letter";
    out.WriteBuffer(std::string("x"));
    out.Commit();
    EXPECT_EQ(ReadRaw(folder / name), "x") << name.size();
  }
  const Strings written = folder.Names();
  EXPECT_EQ(written.size(), 4u);
  try {
    TAtomicFileStream out(folder / std::string(256, 'd'));
    ADD_FAILURE() << "a temporary file was made for a name the folder cannot hold";
  } catch (const EFCreateError& e) {
    EXPECT_NE(std::string(e.what()).find(SysErrorMessage(ENAMETOOLONG)), std::string::npos);
  }
  EXPECT_EQ(folder.Names(), written);
}

TEST(AtomicWrite, CommitOnceAndThroughLinks) {
  ScratchFolder folder;
  WriteRaw(folder / "real.txt", "old");
  std::filesystem::create_symlink(folder / "real.txt", folder / "link.txt");
  TAtomicFileStream out(folder / "link.txt");
  out.WriteBuffer(std::string("new"));
  out.Commit();
  EXPECT_THROW(out.Commit(), EInvalidOperation);
  EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.txt"));
  EXPECT_EQ(ReadRaw(folder / "real.txt"), "new");
  EXPECT_EQ(folder.Names(), (Strings{"link.txt", "real.txt"}));
}

TEST(ProgramFolders, EverythingLivesUnderPixStampHome) {
  ScratchFolder home;
  ScopedEnv pixHome("PIXSTAMP_HOME", home.Path());
  ScopedEnv xdg("XDG_CONFIG_HOME", "/elsewhere");
  EXPECT_EQ(ConfigFolder(), home.Path() + "/config/");
  EXPECT_EQ(DataFolder(), home.Path() + "/data/");
  RemoveWorkFolder();
  std::string work = WorkFolder();
  EXPECT_EQ(ExtractFilePath(work.substr(0, work.size() - 1)), home.Path() + "/tmp/");
  EXPECT_TRUE(DirectoryExists(work));
  EXPECT_EQ(ModeOf(work), 0700u);
  EXPECT_EQ(WorkFolder(), work);
  WriteRaw(work + "scratch.bmp", "x");
  RemoveWorkFolder();
  EXPECT_FALSE(DirectoryExists(work));
  std::string next = WorkFolder();
  EXPECT_NE(next, work);
  RemoveWorkFolder();
}

TEST(ProgramFolders, XdgVariablesAndHome) {
  ScopedEnv pixHome("PIXSTAMP_HOME", std::nullopt);
  ScopedEnv home("HOME", "/home/someone");
  {
    ScopedEnv config("XDG_CONFIG_HOME", "/cfg");
    ScopedEnv data("XDG_DATA_HOME", "/dat/");
    EXPECT_EQ(ConfigFolder(), "/cfg/pixstamp/");
    EXPECT_EQ(DataFolder(), "/dat/pixstamp/");
  }
  ScopedEnv config("XDG_CONFIG_HOME", "relative/cfg");  // not absolute: ignored
  ScopedEnv data("XDG_DATA_HOME", std::nullopt);
  EXPECT_EQ(ConfigFolder(), "/home/someone/.config/pixstamp/");
  EXPECT_EQ(DataFolder(), "/home/someone/.local/share/pixstamp/");
}

TEST(ProgramFolders, ProgramFolderHoldsTheExecutable) {
  std::string expected = std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
  EXPECT_EQ(ProgramFolder(), expected);
}

}  // namespace
