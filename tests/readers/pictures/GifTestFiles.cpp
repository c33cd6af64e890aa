#include "GifTestFiles.h"

#include <gif_lib.h>

#include <cstring>
#include <random>
#include <stdexcept>

namespace readers::testing {

namespace {

void Check(int Result, const char* What) {
  if (Result != GIF_OK) throw std::runtime_error(std::string("giflib failed to ") + What);
}

int BitsFor(int Count) {
  int bits = 1;
  while ((1 << bits) < Count) ++bits;
  return bits;
}

void PutSubBlocks(std::vector<uint8_t>& Out, const std::vector<uint8_t>& Data) {
  for (size_t offset = 0; offset < Data.size(); offset += 255) {
    const size_t size = std::min<size_t>(255, Data.size() - offset);
    Out.push_back(static_cast<uint8_t>(size));
    Out.insert(Out.end(), Data.begin() + offset, Data.begin() + offset + size);
  }
  Out.push_back(0);
}

void Put16(std::vector<uint8_t>& Out, uint16_t Value) {
  Out.push_back(static_cast<uint8_t>(Value));
  Out.push_back(static_cast<uint8_t>(Value >> 8));
}

void PutTable(std::vector<uint8_t>& Out, const std::vector<Rgb>& Table) {
  for (const Rgb& colour : Table) Out.insert(Out.end(), {colour.Red, colour.Green, colour.Blue});
}

}  // namespace

GifPicture WriteGif(const GifRecipe& Recipe) {
  std::mt19937 random(Recipe.Seed);
  GifPicture picture;
  picture.Colors.resize(Recipe.ColorCount);
  for (auto& colour : picture.Colors)
    colour = {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()),
              static_cast<uint8_t>(random())};
  picture.Pixels.resize(size_t{Recipe.Width} * Recipe.Height);
  uint8_t last = 0;
  for (auto& pixel : picture.Pixels) {
    if (random() % 4 == 0) last = static_cast<uint8_t>(random() % Recipe.ColorCount);
    pixel = last;
  }

  std::vector<GifColorType> colours;
  for (const Rgb& colour : picture.Colors)
    colours.push_back({colour.Red, colour.Green, colour.Blue});
  ColorMapObject* map = GifMakeMapObject(Recipe.ColorCount, colours.data());
  int error = 0;
  GifFileType* gif = EGifOpen(
      &picture.File,
      [](GifFileType* Gif, const GifByteType* Data, int Length) {
        auto* out = static_cast<std::vector<uint8_t>*>(Gif->UserData);
        out->insert(out->end(), Data, Data + Length);
        return Length;
      },
      &error);
  if (!gif) throw std::runtime_error("giflib could not start a file");
  EGifSetGifVersion(gif, true);
  Check(EGifPutScreenDesc(gif, Recipe.Width, Recipe.Height, BitsFor(Recipe.ColorCount), 0,
                          Recipe.LocalTable ? nullptr : map),
        "write the screen");
  for (const std::string& comment : Recipe.Comments)
    Check(EGifPutComment(gif, comment.c_str()), "comment");
  if (Recipe.TransparentIndex) {
    GraphicsControlBlock control{};
    control.TransparentColor = *Recipe.TransparentIndex;
    GifByteType block[4];
    const size_t length = EGifGCBToExtension(&control, block);
    Check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), block),
          "control");
  }
  Check(EGifPutImageDesc(gif, 0, 0, Recipe.Width, Recipe.Height, Recipe.Interlaced,
                         Recipe.LocalTable ? map : nullptr),
        "write the image descriptor");
  // Interlaced rows go out in the order of the passes.
  std::vector<int> order;
  if (Recipe.Interlaced) {
    for (auto [first, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
      for (int y = first; y < Recipe.Height; y += step) order.push_back(y);
  } else {
    for (int y = 0; y < Recipe.Height; ++y) order.push_back(y);
  }
  for (int y : order)
    Check(EGifPutLine(gif, picture.Pixels.data() + size_t(y) * Recipe.Width, Recipe.Width),
          "write a row");
  Check(EGifCloseFile(gif, &error), "close");
  GifFreeMapObject(map);
  return picture;
}

GifDecoded ReadGifWithGiflib(const std::vector<uint8_t>& File) {
  struct Source {
    const std::vector<uint8_t>* Bytes;
    size_t Position;
  } source{&File, 0};
  int error = 0;
  GifFileType* gif = DGifOpen(
      &source,
      [](GifFileType* Gif, GifByteType* Data, int Length) {
        auto* from = static_cast<Source*>(Gif->UserData);
        const size_t count = std::min<size_t>(Length, from->Bytes->size() - from->Position);
        std::memcpy(Data, from->Bytes->data() + from->Position, count);
        from->Position += count;
        return static_cast<int>(count);
      },
      &error);
  if (!gif) throw std::runtime_error("giflib could not open the file");
  if (DGifSlurp(gif) != GIF_OK || gif->ImageCount < 1) {
    DGifCloseFile(gif, &error);
    throw std::runtime_error("giflib could not decode the file");
  }
  const SavedImage& image = gif->SavedImages[0];
  GifDecoded decoded;
  decoded.Width = image.ImageDesc.Width;
  decoded.Height = image.ImageDesc.Height;
  decoded.Pixels.assign(image.RasterBits,
                        image.RasterBits + size_t(decoded.Width) * decoded.Height);
  const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
  if (map)
    for (int i = 0; i < map->ColorCount; ++i)
      decoded.Colors.push_back({map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue});
  DGifCloseFile(gif, &error);
  return decoded;
}

std::vector<uint8_t> AssembleGif(const GifParts& Parts) {
  std::vector<uint8_t> file(Parts.Signature.begin(), Parts.Signature.end());
  Put16(file, Parts.ScreenWidth);
  Put16(file, Parts.ScreenHeight);
  const auto tableFlags = [](const std::vector<Rgb>& Table) {
    return Table.empty() ? 0 : 0x80 | (BitsFor(static_cast<int>(Table.size())) - 1);
  };
  file.insert(file.end(), {static_cast<uint8_t>(tableFlags(Parts.GlobalTable)), 0, 0});
  PutTable(file, Parts.GlobalTable);
  for (const auto& block : Parts.Blocks) file.insert(file.end(), block.begin(), block.end());
  if (Parts.WithImage) {
    file.push_back(',');
    Put16(file, 0);
    Put16(file, 0);
    Put16(file, Parts.ImageWidth);
    Put16(file, Parts.ImageHeight);
    file.push_back(
        static_cast<uint8_t>(tableFlags(Parts.LocalTable) | (Parts.Interlaced ? 0x40 : 0)));
    PutTable(file, Parts.LocalTable);
    file.push_back(Parts.CodeSize);
    PutSubBlocks(file, Parts.Data);
  }
  if (Parts.WithTrailer) file.push_back(';');
  return file;
}

std::vector<uint8_t> GifExtension(uint8_t Label, const std::vector<uint8_t>& Data) {
  std::vector<uint8_t> block = {'!', Label};
  PutSubBlocks(block, Data);
  return block;
}

std::vector<uint8_t> GraphicControl(bool Transparent, uint8_t Index) {
  return GifExtension(0xF9, {static_cast<uint8_t>(Transparent ? 1 : 0), 0, 0, Index});
}

}  // namespace readers::testing
