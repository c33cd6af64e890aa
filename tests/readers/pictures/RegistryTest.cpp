#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "PngTestFiles.h"
#include "graphics/Engine.h"
#include "graphics/bitmap/Bitmap32.h"
#include "platform/metafile/Metafile.h"
#include "platform/pictures/Bitmap.h"
#include "platform/runtime/Classes.h"
#include "readers/PictureReaders.h"
#include "support/LargestAllocation.h"

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

// The registry as its rules describe it, kept beside the real one: class entries with their
// descriptions and use counts, extension entries, and the rows the platform list gets.
struct RegistryModel {
  struct Class {
    const plat::TGraphicClass* Graphic;
    std::string Description;
    int Count;
    bool operator==(const Class&) const = default;
  };
  struct Extension {
    std::string Name, Description;
    uint8_t Types;
    const plat::TGraphicClass* Graphic;
    bool operator==(const Extension&) const = default;
  };
  struct PlatformRow {
    std::string Extension, Description;
    const plat::TGraphicClass* Graphic;
    bool operator==(const PlatformRow&) const = default;
  };
  std::vector<Class> Classes;
  std::vector<Extension> Extensions;
  std::vector<PlatformRow> Platform;

  int FindExtension(const std::string& Name) const {
    for (size_t i = 0; i < Extensions.size(); ++i)
      if (!Name.empty() && plat::LowerCase(Extensions[i].Name) == plat::LowerCase(Name))
        return int(i);
    return -1;
  }
  Class* FindClass(const plat::TGraphicClass* Graphic) {
    for (Class& c : Classes)
      if (c.Graphic == Graphic) return &c;
    return nullptr;
  }
  void DropClass(const plat::TGraphicClass* Graphic, bool FromPlatform) {
    std::erase_if(Classes, [&](const Class& c) { return c.Graphic == Graphic; });
    if (FromPlatform)
      std::erase_if(Platform, [&](const PlatformRow& r) { return r.Graphic == Graphic; });
  }
  void Attach(Extension& Entry, const std::string& Common, const plat::TGraphicClass* Graphic) {
    Class* c = FindClass(Graphic);
    if (!c) c = &Classes.emplace_back(Class{Graphic, "", 0});
    if (!Common.empty()) c->Description = Common;
    ++c->Count;
    Entry.Graphic = Graphic;
  }
  // False where the registration is refused (and nothing changes).
  bool Register(const std::string& Name, const std::string& Common, const std::string& Individual,
                uint8_t Types, bool Replace, const plat::TGraphicClass* Graphic) {
    if (Name.empty()) return true;
    const int index = FindExtension(Name);
    if (index < 0) {
      Extensions.push_back({Name, Individual, Types, nullptr});
      Attach(Extensions.back(), Common, Graphic);
    } else if (Replace) {
      Extension& entry = Extensions[size_t(index)];
      if (entry.Graphic != Graphic) {
        const plat::TGraphicClass* old = entry.Graphic;
        Attach(entry, Common, Graphic);
        // A class left without extensions leaves the platform list too, as on unregistering,
        // so no row opens files with a class the registry no longer knows.
        if (--FindClass(old)->Count == 0) DropClass(old, true);
      }
      entry.Types = Types;
    } else {
      return false;
    }
    const Extension& entry = Extensions[size_t(FindExtension(Name))];
    Platform.push_back({plat::LowerCase(Name),
                        Individual.empty() ? FindClass(entry.Graphic)->Description : Individual,
                        Graphic});
    return true;
  }
  void Unregister(const std::string& Name, const plat::TGraphicClass* Graphic) {
    if (!Name.empty()) {
      const int index = FindExtension(Name);
      if (index < 0) return;
      const plat::TGraphicClass* owner = Extensions[size_t(index)].Graphic;
      if (--FindClass(owner)->Count == 0) DropClass(owner, true);
      Extensions.erase(Extensions.begin() + index);
      return;
    }
    Class* c = FindClass(Graphic);
    if (!c) return;
    for (size_t i = Extensions.size(); i-- > 0 && c->Count > 0;) {
      if (Extensions[i].Graphic != Graphic) continue;
      --c->Count;
      Extensions.erase(Extensions.begin() + std::ptrdiff_t(i));
    }
    DropClass(Graphic, true);
  }
};

const plat::TGraphicClass FakeC{"TFakeC", &plat::TGraphic::StaticClass(), nullptr};

TEST(PictureFormatRegistry, RandomRegistrationsFollowTheRules) {
  const plat::TGraphicClass* fakes[] = {&FakeA, &FakeB, &FakeC};
  const char* names[] = {"zqa", "zqb", "zqc", "zqd", ""};
  const char* descriptions[] = {"", "", "Alpha", "Beta"};
  std::mt19937 random(35);
  for (int round = 0; round < 40; ++round) {
    TFileFormatList registry;
    RegistryModel model;
    for (int step = 0; step < 60; ++step) {
      std::string name = names[random() % 5];
      for (char& c : name)
        if (random() % 2) c = static_cast<char>(c - 'a' + 'A');
      const plat::TGraphicClass* graphic = fakes[random() % 3];
      SCOPED_TRACE(std::to_string(round) + "." + std::to_string(step) + " " + name);
      if (random() % 3 == 0) {
        registry.UnregisterFileFormat(name, *graphic);
        model.Unregister(name, graphic);
      } else {
        const std::string common = descriptions[random() % 4];
        const std::string individual = descriptions[random() % 4];
        const auto types = static_cast<uint8_t>(random());
        const bool replace = random() % 3 == 0;
        const bool accepted = model.Register(name, common, individual, types, replace, graphic);
        try {
          registry.RegisterFileFormat(name, common, individual, types, replace, *graphic);
          EXPECT_TRUE(accepted);
        } catch (const plat::EInvalidGraphic& error) {
          EXPECT_FALSE(accepted);
          EXPECT_EQ(error.what(), "Attempt to register " + name + " twice.");
        }
      }
      std::vector<RegistryModel::Class> classes;
      for (const auto& c : registry.ClassEntries())
        classes.push_back({c->GraphicClass, c->Description, c->Count});
      std::vector<RegistryModel::Extension> extensions;
      for (const auto& e : registry.ExtensionEntries())
        extensions.push_back(
            {e->Extension, e->Description, e->FormatTypes, e->ClassReference->GraphicClass});
      std::vector<RegistryModel::PlatformRow> platform;
      for (const plat::TFileFormat& f : plat::TPicture::FileFormats())
        if (std::find(std::begin(fakes), std::end(fakes), f.GraphicClass) != std::end(fakes))
          platform.push_back({f.Extension, f.Description, f.GraphicClass});
      ASSERT_EQ(classes, model.Classes);
      ASSERT_EQ(extensions, model.Extensions);
      ASSERT_EQ(platform, model.Platform);
      for (const char* probe : names)
        ASSERT_EQ(registry.FindExtension(probe), model.FindExtension(probe)) << probe;
    }
  }
  // Freed registries took their classes out of the platform list.
  for (const plat::TFileFormat& f : plat::TPicture::FileFormats())
    EXPECT_EQ(std::find(std::begin(fakes), std::end(fakes), f.GraphicClass), std::end(fakes));
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

TEST_F(PictureLoadingPaths, FilesThatCannotBeOpenedAreNamedAndNothingIsLost) {
  // Missing, gone from under its link, a file on the way taken for a folder, a link loop.
  const std::string good = Write("good.png", File);
  ASSERT_EQ(symlink((Folder + "/gone.png").c_str(), (Folder + "/link.png").c_str()), 0);
  ASSERT_EQ(symlink((Folder + "/loop.png").c_str(), (Folder + "/loop.png").c_str()), 0);
  gfx::StartEngine();
  TPNGGraphic reader;
  plat::TPicture picture;
  gfx::TBitmap32 bitmap;
  reader.LoadFromFile(good);
  picture.LoadFromFile(good);
  bitmap.LoadFromFile(good);
  const auto expected = Pixels(reader);
  for (const std::string& path : {Folder + "/missing.png", Folder + "/link.png",
                                  good + "/inside.png", Folder + "/loop.png"}) {
    SCOPED_TRACE(path);
    const auto expectNamed = [&](auto&& Load) {
      try {
        Load();
        ADD_FAILURE() << "loaded";
      } catch (const plat::Exception& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
      }
    };
    expectNamed([&] { reader.LoadFromFile(path); });
    expectNamed([&] { picture.LoadFromFile(path); });
    expectNamed([&] { bitmap.LoadFromFile(path); });
    EXPECT_EQ(Pixels(reader), expected);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Width(), 7);
    ASSERT_EQ(bitmap.Width(), 7);
    EXPECT_EQ(bitmap.Pixel(6, 4), expected.back());
  }
}

TEST_F(PictureLoadingPaths, LargeFilesOfAnotherKindFailOnTheirFirstBytes) {
  if (!test_support::LargestAllocation::Available()) GTEST_SKIP() << "no allocator hooks";
  gfx::StartEngine();
  for (const char* format : {"PNG", "GIF"}) {
    // 256 MB of zeros (a sparse file) named as a picture.
    const std::string path = Folder + "/zeros." + plat::LowerCase(format);
    std::ofstream{path};
    std::filesystem::resize_file(path, uintmax_t{1} << 28);
    const std::string message =
        std::string("Cannot load image. Invalid or unexpected ") + format + " image format.";
    test_support::LargestAllocation largest;
    plat::TPicture picture;
    gfx::TBitmap32 bitmap;
    for (const auto& load : std::initializer_list<std::function<void()>>{
             [&] { picture.LoadFromFile(path); }, [&] { bitmap.LoadFromFile(path); }}) {
      try {
        load();
        ADD_FAILURE() << "loaded";
      } catch (const plat::EInvalidGraphic& error) {
        EXPECT_EQ(error.what(), message);
      }
    }
    EXPECT_LT(largest.Bytes(), size_t{1} << 20) << format;
  }
}

}  // namespace
}  // namespace readers
