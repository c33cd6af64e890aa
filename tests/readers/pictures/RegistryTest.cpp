#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "PngTestFiles.h"
#include "platform/metafile/Metafile.h"
#include "platform/pictures/Bitmap.h"
#include "platform/runtime/Classes.h"
#include "readers/PictureReaders.h"

namespace readers {
namespace {

struct Row {
  std::string Extension, Description;
  bool operator==(const Row&) const = default;
};

std::vector<Row> PlatformRows() {
  std::vector<Row> rows;
  for (const plat::TFileFormat& format : plat::TPicture::FileFormats())
    rows.push_back({format.Extension, format.Description});
  return rows;
}

TEST(PictureFormatRegistry, StartUpInstallsTheThirteenExtensions) {
  const std::vector<Row> expected = {{"bmp", "Windows bitmaps"},
                                     {"ico", "Windows icons"},
                                     {"wmf", "Windows metafiles"},
                                     {"emf", "Windows enhanced meta files"},
                                     {"jfif", "JFIF images"},
                                     {"jpg", "JPG images"},
                                     {"jpe", "JPE images"},
                                     {"jpeg", "JPEG images"},
                                     {"msk", "Windows bitmaps"},
                                     {"rle", "Run length encoded Windows bitmaps"},
                                     {"dib", "Device independant Windows bitmaps"},
                                     {"gif", "CompuServe images"},
                                     {"png", "Portable network graphic images"}};
  EXPECT_EQ(PlatformRows(), expected);
  EXPECT_EQ(plat::TPicture::FindFileFormat("PNG"), &TPNGGraphic::StaticClass());
  EXPECT_EQ(plat::TPicture::FindFileFormat("gif"), &TGIFGraphic::StaticClass());
  EXPECT_EQ(plat::TPicture::FindFileFormat("msk"), &plat::TBitmap::StaticClass());
  EXPECT_EQ(plat::TPicture::FindFileFormat("emf"), &plat::TMetafile::StaticClass());

  // The dialogs' "all pictures" entry lists the newest registration first.
  const std::string filter = plat::TPicture::GraphicFilter();
  size_t last = 0;
  for (auto it = expected.rbegin(); it != expected.rend(); ++it) {
    const size_t at = filter.find("*." + it->Extension + " ");
    ASSERT_NE(at, std::string::npos) << it->Extension;
    EXPECT_GE(at, last) << it->Extension;
    last = at;
  }

  // A second registration, in any letter case, fails and changes nothing.
  TFileFormatList& registry = *FileFormatList();
  const size_t classes = registry.ClassEntries().size();
  try {
    registry.RegisterFileFormat("BMP", "", "", 0, false, plat::TBitmap::StaticClass());
    FAIL();
  } catch (const plat::EInvalidGraphic& error) {
    EXPECT_STREQ(error.what(), "Attempt to register BMP twice.");
  }
  EXPECT_EQ(registry.ClassEntries().size(), classes);
  EXPECT_EQ(PlatformRows(), expected);
}

const plat::TGraphicClass FakeA{"TFakeA", &plat::TGraphic::StaticClass(), nullptr};
const plat::TGraphicClass FakeB{"TFakeB", &plat::TGraphic::StaticClass(), nullptr};

std::string PlatformDescription(const std::string& Extension) {
  for (const plat::TFileFormat& format : plat::TPicture::FileFormats())
    if (format.Extension == Extension) return format.Description;
  return "(none)";
}

TEST(PictureFormatRegistry, ClassesLeaveWithTheirLastExtension) {
  {
    TFileFormatList registry;
    registry.RegisterFileFormat("zza", "Fake pictures", "", 1, false, FakeA);
    registry.RegisterFileFormat("zzb", "", "Second fake", 1, false, FakeA);
    EXPECT_EQ(PlatformDescription("zza"), "Fake pictures");
    EXPECT_EQ(PlatformDescription("zzb"), "Second fake");
    EXPECT_EQ(registry.ClassEntries()[0]->Count, 2);

    // Dropping one extension keeps the class, and even that extension's platform entry.
    registry.UnregisterFileFormat("ZZA", FakeA);
    EXPECT_EQ(registry.FindExtension("zza"), -1);
    EXPECT_EQ(registry.ClassEntries()[0]->Count, 1);
    EXPECT_EQ(plat::TPicture::FindFileFormat("zza"), &FakeA);
    registry.UnregisterFileFormat("zzb", FakeA);
    EXPECT_TRUE(registry.ClassEntries().empty());
    EXPECT_EQ(plat::TPicture::FindFileFormat("zza"), nullptr);
    EXPECT_EQ(plat::TPicture::FindFileFormat("zzb"), nullptr);

    // An empty extension takes every extension of the class at once.
    for (const char* extension : {"zzc", "zzd", "zze"})
      registry.RegisterFileFormat(extension, "Fake B", "", 0, false, FakeB);
    registry.RegisterFileFormat("zzf", "Fake A", "", 0, false, FakeA);
    registry.UnregisterFileFormat("", FakeB);
    EXPECT_EQ(registry.ExtensionEntries().size(), 1u);
    EXPECT_EQ(registry.FindGraphicClass(FakeB), -1);
    EXPECT_EQ(plat::TPicture::FindFileFormat("zzd"), nullptr);

    // Replacing moves an extension to another class; a class left without extensions goes.
    registry.RegisterFileFormat("ZZF", "", "Now B", 2, true, FakeB);
    EXPECT_EQ(registry.FindGraphicClass(FakeA), -1);
    EXPECT_EQ(registry.ExtensionEntries()[0]->ClassReference->GraphicClass, &FakeB);
    EXPECT_EQ(registry.ExtensionEntries()[0]->FormatTypes, 2);
    EXPECT_EQ(plat::TPicture::FindFileFormat("zzf"), &FakeB);
    registry.RegisterFileFormat("", "x", "x", 0, false, FakeA);
    EXPECT_EQ(registry.ExtensionEntries().size(), 1u);
  }
  // Destroying the registry takes its classes out of the platform list.
  EXPECT_EQ(plat::TPicture::FindFileFormat("zzf"), nullptr);
}

class PictureLoadingPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/readers-paths-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    Folder = folder;
    File = testing::WritePng({.Width = 7, .Height = 5, .ColorType = 6, .Depth = 8});
  }
  void TearDown() override { std::filesystem::remove_all(Folder); }

  std::string Write(const std::string& Name, const std::vector<uint8_t>& Bytes) {
    const std::string path = Folder + "/" + Name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(Bytes.data()),
               static_cast<std::streamsize>(Bytes.size()));
    return path;
  }
  static std::vector<uint32_t> Pixels(const plat::TBitmap& Bitmap) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < Bitmap.Height(); ++y)
      for (int x = 0; x < Bitmap.Width(); ++x) pixels.push_back(Bitmap.PixelARGB(x, y));
    return pixels;
  }

  std::string Folder;
  std::vector<uint8_t> File;
};

TEST_F(PictureLoadingPaths, FilesStreamsAndPipesGiveTheSamePicture) {
  TPNGGraphic fromMemory;
  fromMemory.LoadFromMemory(File.data(), static_cast<int64_t>(File.size()));
  const auto expected = Pixels(fromMemory);

  // Through the platform picture, by an upper-case extension.
  plat::TPicture picture;
  picture.LoadFromFile(Write("PHOTO.PNG", File));
  auto* graphic = dynamic_cast<TPNGGraphic*>(picture.Graphic());
  ASSERT_NE(graphic, nullptr);
  EXPECT_EQ(Pixels(*graphic), expected);

  // A file stream positioned anywhere.
  plat::TFileStream stream(Folder + "/PHOTO.PNG", plat::fmOpenRead);
  stream.SetPosition(20);
  TPNGGraphic fromFile;
  fromFile.LoadFromStream(stream);
  EXPECT_EQ(Pixels(fromFile), expected);
  EXPECT_TRUE(fromFile.ReadImagePropertiesFromStream(stream));
  EXPECT_EQ(stream.Position(), 20);

  // A pipe is copied from where it stands.
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  ASSERT_EQ(write(ends[1], File.data(), File.size()), static_cast<ssize_t>(File.size()));
  close(ends[1]);
  plat::THandleStream pipeStream(ends[0]);
  TPNGGraphic fromPipe;
  fromPipe.LoadFromStream(pipeStream);
  close(ends[0]);
  EXPECT_EQ(Pixels(fromPipe), expected);
}

TEST_F(PictureLoadingPaths, EmptyAndSpecialFilesFailBeforeDecoding) {
  TPNGGraphic graphic;
  EXPECT_THROW(graphic.LoadFromFile(Write("empty.png", {})), plat::EOSError);
  const std::string fifo = Folder + "/fifo.png";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_THROW(graphic.LoadFromFile(fifo), plat::Exception);  // no wait for a writer
  EXPECT_THROW(graphic.LoadFromFile(Folder), plat::Exception);
  EXPECT_TRUE(graphic.Empty());
  // The picture's failure leaves the held graphic in place.
  plat::TPicture picture;
  picture.LoadFromFile(Write("good.png", File));
  auto broken = File;
  broken.resize(40);
  EXPECT_THROW(picture.LoadFromFile(Write("bad.png", broken)), plat::EInvalidGraphic);
  ASSERT_NE(picture.Graphic(), nullptr);
  EXPECT_EQ(picture.Width(), 7);
}

}  // namespace
}  // namespace readers
