// Path texts under POSIX rules and the file-system queries.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "ScratchFolder.h"
#include "platform/runtime/Files.h"

using namespace plat;
using runtime_test::ScratchFolder;
using runtime_test::WriteRaw;

namespace {

TEST(PathTexts, DotsInFolderNamesAreNotExtensions) {
  EXPECT_EQ(ExtractFilePath("/home/u/my.pics/photo"), "/home/u/my.pics/");
  EXPECT_EQ(ExtractFileName("/home/u/my.pics/photo"), "photo");
  EXPECT_EQ(ExtractFileExt("/home/u/my.pics/photo"), "");
  EXPECT_EQ(ExtractFileExt("/home/u/my.pics/"), "");
  EXPECT_EQ(ChangeFileExt("/a.b/c", ".png"), "/a.b/c.png");
  EXPECT_EQ(ExtractFileExt("/a/b.c/d.JPG"), ".JPG");
  EXPECT_EQ(ExtractFileExt("x.tar.gz"), ".gz");
  EXPECT_EQ(ChangeFileExt("/x/y.tar.gz", ".bmp"), "/x/y.tar.bmp");
  EXPECT_EQ(ChangeFileExt("/x/a.jpg", ""), "/x/a");
  EXPECT_EQ(ChangeFileExt("noext", ".txt"), "noext.txt");
  EXPECT_EQ(ExtractFileExt("/home/u/.profile"), "");
  EXPECT_EQ(ChangeFileExt("/home/u/.profile", ".bak"), "/home/u/.profile.bak");
  EXPECT_EQ(ExtractFileExt("/home/u/.cache.d/x"), "");
  EXPECT_EQ(ExtractFileExt("/home/u/.shot.png"), ".png");
}

TEST(PathTexts, ColonsAndSpacesAreOrdinary) {
  EXPECT_EQ(ExtractFilePath("C:file.png"), "");
  EXPECT_EQ(ExtractFileName("C:file.png"), "C:file.png");
  EXPECT_EQ(ExtractFileName("/a/b:c/d e.png"), "d e.png");
  EXPECT_EQ(ExtractFilePath("/a/b:c/d e.png"), "/a/b:c/");
  EXPECT_EQ(ExtractFileExt("/my docs/shot 1.Png"), ".Png");
  EXPECT_EQ(ExtractFilePath("back\\slash.png"), "");
}

TEST(PathTexts, FolderParts) {
  EXPECT_EQ(ExtractFileDir("/a/b"), "/a");
  EXPECT_EQ(ExtractFileDir("/b"), "/");
  EXPECT_EQ(ExtractFileDir("b"), "");
  EXPECT_EQ(ExtractFilePath("/b"), "/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/a/"), "/a/");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");
  EXPECT_EQ(JoinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a//", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(JoinPath("/", "b"), "/b");
  EXPECT_EQ(JoinPath("/a", "/b"), "/b");
  EXPECT_EQ(JoinPath("", "b"), "b");
}

TEST(PathTexts, ExpandFileNameIsAbsoluteAndKeepsCase) {
  EXPECT_EQ(ExpandFileName(""), "");
  EXPECT_EQ(ExpandFileName("/a/./b/../c"), "/a/c");
  EXPECT_EQ(ExpandFileName("/../x"), "/x");
  EXPECT_EQ(ExpandFileName("/A/B.Png"), "/A/B.Png");
  EXPECT_EQ(ExpandFileName("/a//b/"), "/a/b/");
  EXPECT_EQ(ExpandFileName("/"), "/");
  std::string current = std::filesystem::current_path().string();
  EXPECT_EQ(ExpandFileName("x/Y.txt"), current + "/x/Y.txt");
  EXPECT_EQ(ExpandFileName("./x"), current + "/x");
}

TEST(FileQueries, FilesFoldersAndLinks) {
  ScratchFolder folder;
  WriteRaw(folder / "file", "x");
  std::filesystem::create_directory(folder / "dir");
  std::filesystem::create_symlink(folder / "file", folder / "link");
  std::filesystem::create_symlink(folder / "gone", folder / "dangling");
  EXPECT_TRUE(FileExists(folder / "file"));
  EXPECT_TRUE(FileExists(folder / "link"));
  EXPECT_FALSE(FileExists(folder / "dangling"));
  EXPECT_FALSE(FileExists(folder / "dir"));
  EXPECT_FALSE(FileExists(folder / "missing"));
  EXPECT_FALSE(FileExists(""));
  EXPECT_TRUE(DirectoryExists(folder / "dir"));
  EXPECT_FALSE(DirectoryExists(folder / "file"));
  EXPECT_TRUE(DeleteFile(folder / "file"));
  EXPECT_FALSE(FileExists(folder / "file"));
  EXPECT_FALSE(DeleteFile(folder / "file"));
}

TEST(FileQueries, ForceDirectoriesMakesEveryLevel) {
  ScratchFolder folder;
  EXPECT_TRUE(ForceDirectories(folder / "a/b c/d.e"));
  EXPECT_TRUE(DirectoryExists(folder / "a/b c/d.e"));
  EXPECT_TRUE(ForceDirectories(folder / "a/b c/"));
  WriteRaw(folder / "plain", "x");
  EXPECT_FALSE(ForceDirectories(folder / "plain/sub"));
  EXPECT_FALSE(ForceDirectories(""));
}

TEST(FileQueries, ReadFileBytesRegularFilesOnly) {
  ScratchFolder folder;
  std::string bytes("a\0b\xFF", 4);
  WriteRaw(folder / "data", bytes);
  EXPECT_EQ(ReadFileBytes(folder / "data", 4), bytes);
  EXPECT_THROW(ReadFileBytes(folder / "data", 3), EReadError);
  EXPECT_THROW(ReadFileBytes(folder / "missing", 100), EFOpenError);
  EXPECT_THROW(ReadFileBytes(folder.Path(), 100), EFOpenError);
  ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
  EXPECT_THROW(ReadFileBytes(folder / "fifo", 100), EFOpenError);  // must not wait for a writer
  WriteRaw(folder / "empty", "");
  EXPECT_EQ(ReadFileBytes(folder / "empty", 0), "");
}

TEST(FileQueries, UniqueFilesNeverCollide) {
  ScratchFolder folder;
  std::string first = CreateUniqueFile(folder.Path(), "shot-", ".png");
  std::string second = CreateUniqueFile(folder.Path(), "shot-", ".png");
  EXPECT_NE(first, second);
  for (const std::string& path : {first, second}) {
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ExtractFilePath(path), folder.Path() + "/");
    EXPECT_EQ(ExtractFileName(path).rfind("shot-", 0), 0u);
    EXPECT_EQ(ExtractFileExt(path), ".png");
  }
  EXPECT_THROW(CreateUniqueFile(folder / "missing", "x", ""), EFCreateError);
}

}  // namespace
