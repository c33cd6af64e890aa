// Random IMG attributes and picture sizes against a model of what the image object reads from
// them and how it sizes its box, laid out twice at different widths.
#include <cmath>
#include <random>

#include "ImageObjectSupport.h"
#include "html/HtmlEngine.h"

namespace imageobjects {
namespace {

// a * b / c to the nearest integer, halves away from zero.
int32_t NearestRatio(int64_t a, int64_t b, int64_t c) {
  if (c == 0) return 0;
  return int32_t(std::llround(double(a) * double(b) / double(c)));
}

struct Expected {
  uint8_t align = html::aBottom;
  int32_t askedW = -1, askedH = -1;
  bool percentW = false, percentH = false;
  int32_t hSpace = -1, vSpace = 0, border = 0;
  bool noBorder = false, isMap = false, transparent = false, active = false, useMap = false;
  std::string mapName, title, alt;
};

TEST_F(ImageObjectTest, RandomAttributesAndPicturesSizeAsTheModelSays) {
  std::mt19937 random(152);
  int placeholders = 0, pictures = 0;
  for (int n = 0; n < 400; ++n) {
    const int pw = 1 + int(random() % 60), ph = 1 + int(random() % 60);
    const std::string file = folder.File("p" + std::to_string(n) + ".bmp");
    const bool missing = random() % 5 == 0;
    if (!missing) WriteFile(file, SolidBmp(pw, ph, 0x102030));

    std::vector<Attr> attrs;
    Expected e;
    std::vector<int> kinds = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    std::shuffle(kinds.begin(), kinds.end(), random);
    kinds.resize(random() % kinds.size());
    attrs.push_back({html::SrcSy, "  " + file + " "});
    for (int kind : kinds) {
      switch (kind) {
        case 0: {
          static const char* const aligns[] = {"top",   "MIDDLE", "absmiddle", "Left",
                                               "right", "center", "baseline",  ""};
          const std::string a = aligns[random() % std::size(aligns)];
          attrs.push_back({html::AlignSy, a});
          std::string up;
          for (char c : a) up += char(std::toupper(c));
          e.align = up == "TOP"                           ? html::aTop
                    : up == "MIDDLE" || up == "ABSMIDDLE" ? html::aMiddle
                    : up == "LEFT"                        ? html::aLeft
                    : up == "RIGHT"                       ? html::aRight
                                                          : html::aBottom;
          break;
        }
        case 1:
        case 2: {
          const bool percent = random() % 2;
          const int32_t v = percent ? int32_t(random() % 160) - 10 : int32_t(random() % 400) - 5;
          attrs.push_back({kind == 1 ? html::WidthSy : html::HeightSy,
                           std::to_string(v) + (percent ? "%" : ""), v});
          int32_t& asked = kind == 1 ? e.askedW : e.askedH;
          bool& flag = kind == 1 ? e.percentW : e.percentH;
          if (percent && v >= 0 && v <= 100) asked = v, flag = true;
          if (!percent) asked = v < 0 ? -1 : v;
          break;
        }
        case 3:
        case 4: {
          const int32_t v = int32_t(random() % 121) - 60;
          attrs.push_back({kind == 3 ? html::HSpaceSy : html::VSpaceSy, std::to_string(v), v});
          (kind == 3 ? e.hSpace : e.vSpace) = std::min(std::abs(v), 40);
          break;
        }
        case 5: {
          const int32_t v = int32_t(random() % 19) - 3;
          attrs.push_back({html::BorderSy, std::to_string(v), v});
          e.noBorder = v == 0;
          e.border = std::clamp(v, 0, 10);
          break;
        }
        case 6:
          attrs.push_back({html::IsMapSy, ""});
          e.isMap = true;
          break;
        case 7:
          attrs.push_back({html::TranspSy, ""});
          e.transparent = true;
          break;
        case 8:
          attrs.push_back({html::ActiveSy, ""});
          e.active = true;
          break;
        case 9: {
          static const char* const maps[] = {"#", "#m1", " #Ab ", "plain", "##x", " # "};
          const std::string v = maps[random() % std::size(maps)];
          attrs.push_back({html::UseMapSy, v});
          e.useMap = true;
          std::string up;
          for (char c : v) up += char(std::toupper(c));
          up.erase(0, up.find_first_not_of(' '));
          up.erase(up.find_last_not_of(' ') + 1);
          if (up.size() > 1 && up[0] == '#') up.erase(0, 1);
          e.mapName = up;
          break;
        }
        case 10: {
          const std::string alt = "alt " + std::to_string(random() % 100);
          const std::string tail = random() % 2 ? "\r\n\n" : "";
          attrs.push_back({html::AltSy, alt + tail});
          e.alt = alt;
          e.title = alt;
          break;
        }
        case 11:
          attrs.push_back({html::TitleSy, "title"});
          break;
        default:
          break;
      }
    }
    if (std::count(kinds.begin(), kinds.end(), 11)) e.title = "title";
    if (e.hSpace < 0) e.hSpace = e.align == html::aLeft || e.align == html::aRight ? 3 : 0;

    auto image = Make(attrs);
    SCOPED_TRACE(testing::Message()
                 << "image " << n << " picture " << pw << "x" << ph << (missing ? " missing" : ""));
    // Alignment, sizes asked for, spaces, border, flags.
    EXPECT_EQ((std::vector<int32_t>{image->ObjAlign, image->SpecWidth, image->PercentWidth,
                                    image->SpecHeight, image->PercentHeight, image->HSpaceL,
                                    image->HSpaceR, image->VSpaceT, image->VSpaceB,
                                    image->BorderSize, image->NoBorder, image->IsMap,
                                    image->Transparent, image->HasActive, image->HasUseMap}),
              (std::vector<int32_t>{e.align, e.askedW, e.percentW, e.askedH, e.percentH, e.hSpace,
                                    e.hSpace, e.vSpace, e.vSpace, e.border, e.noBorder, e.isMap,
                                    e.transparent, e.active, e.useMap}));
    EXPECT_EQ(image->MapName, e.mapName);
    EXPECT_EQ(image->ImageTitle, e.title);
    EXPECT_EQ(image->AltText, e.alt);

    // Laid out twice: a second width changes only what depends on it.
    for (int pass = 0; pass < 2; ++pass) {
      const int32_t avail = int32_t(random() % 500), heightBase = int32_t(random() % 400);
      Size(*image, avail, heightBase);
      const bool placeholder = missing;
      const int32_t w = placeholder ? html::ErrorImageBitmap()->Width() : pw;
      const int32_t h = placeholder ? html::ErrorImageBitmap()->Height() : ph;
      const int32_t b2 = 2 * e.border;
      int32_t objW = 0, objH = 0;
      if (e.percentW) {
        objW = NearestRatio(std::max(avail - b2, 0), e.askedW, 100);
        objH = e.percentH      ? NearestRatio(std::max(heightBase - b2, 0), e.askedH, 100)
               : e.askedH >= 0 ? e.askedH
                               : NearestRatio(objW, h, w);
      } else if (e.percentH) {
        objH = NearestRatio(std::max(heightBase - b2, 0), e.askedH, 100);
        objW = e.askedW >= 0 ? e.askedW : NearestRatio(objH, w, h);
      } else if (e.askedW >= 0 && e.askedH >= 0) {
        objW = e.askedW, objH = e.askedH;
      } else if (e.askedH >= 0) {
        objH = e.askedH, objW = NearestRatio(e.askedH, w, h);
      } else if (e.askedW >= 0) {
        objW = e.askedW, objH = NearestRatio(e.askedW, h, w);
      } else {
        objW = w, objH = h;
      }
      ASSERT_EQ(image->ObjWidth, objW) << "pass " << pass << " avail " << avail;
      ASSERT_EQ(image->ObjHeight, objH) << "pass " << pass << " base " << heightBase;
      if (!placeholder) {
        ++pictures;
        EXPECT_EQ(image->ImageWidth, objW + b2);
        EXPECT_EQ(image->ImageHeight, objH + b2);
      } else if (e.askedW >= 0 || e.askedH >= 0) {
        ++placeholders;
        EXPECT_EQ(image->ImageWidth, objW + b2);
        EXPECT_EQ(image->ImageHeight, objH + b2);
      } else if (e.alt.empty()) {
        ++placeholders;
        EXPECT_EQ(image->ImageWidth, std::max(24, objW) + b2);
        EXPECT_EQ(image->ImageHeight, std::max(24, objH) + b2);
      } else {
        EXPECT_GE(image->ImageHeight, 24 + b2);  // the ALT text decides the width
      }
    }
  }
  EXPECT_GT(pictures, 400);
  EXPECT_GT(placeholders, 50);
}

}  // namespace
}  // namespace imageobjects
