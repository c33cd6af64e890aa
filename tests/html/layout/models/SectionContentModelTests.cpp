// Filling a text section and tidying its text, against a model written from the description:
// random tokens of every special character, no-break stretches, capitals and small capitals,
// font changes, floating and inline objects, controls and forced breaks.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/htmlservices/HtmlText.h"
#include "tests/html/layout/text/TextTestSupport.h"

namespace {

using html::kBreakNever;
using html::kBreakOrdinary;
using html::kBreakSoftHyphen;

struct ModelChar {
  char16_t ch;
  char flag;
  int32_t source;
};

struct ModelRun {
  int start;
  int smaller;  // steps of "small" below the plain size
};

struct ModelObject {
  int pos;
  bool floating;
};

struct SectionModel {
  std::vector<ModelChar> text;
  std::vector<ModelRun> runs{{0, 0}};
  std::vector<ModelObject> objects, controls;

  int Count() const { return int(text.size()); }
  void ChangeFont(int smaller) {
    if (Count() > runs.back().start)
      runs.push_back({Count(), smaller});
    else
      runs.back().smaller = smaller;
  }
  void Delete(int p) {
    text.erase(text.begin() + p);
    for (auto* list : {&objects, &controls})
      for (ModelObject& o : *list)
        if (o.pos > p) --o.pos;
    for (ModelRun& run : runs)
      if (run.start > p) --run.start;
    for (size_t i = 1; i < runs.size();)
      if (runs[i - 1].start == runs[i].start)
        runs.erase(runs.begin() + ptrdiff_t(i - 1));
      else
        ++i;
  }
  bool FloatingAt(int p) const {
    return std::any_of(objects.begin(), objects.end(),
                       [p](const ModelObject& o) { return o.pos == p && o.floating; });
  }
  char16_t At(int p) const { return text[size_t(p)].ch; }

  void ProcessText(int32_t source) {
    while (Count() > 0 && At(0) == u' ') Delete(0);
    for (int i = 0; i < Count();) {
      if (At(i) != 0xAD) {
        ++i;
        continue;
      }
      Delete(i);
      if (i > 0 && text[size_t(i - 1)].flag != kBreakNever)
        text[size_t(i - 1)].flag = kBreakSoftHyphen;
    }
    for (int i = 0; i + 1 < Count();) {
      if (At(i) == u' ' && At(i + 1) == u' ')
        Delete(text[size_t(i)].flag == kBreakNever ? i : i + 1);
      else
        ++i;
    }
    for (int i = 0; i + 1 < Count(); ++i)
      if (At(i) == html::kObjectChar && FloatingAt(i) && At(i + 1) == u' ') Delete(i + 1);
    for (int i = 0; i < Count(); ++i) {
      if (At(i) != html::kLineBreakChar) continue;
      if (i > 0 && At(i - 1) == u' ') Delete(--i);
      if (i + 1 < Count() && At(i + 1) == u' ') Delete(i + 1);
    }
    if (Count() > 1 && At(Count() - 1) == html::kLineBreakChar) Delete(Count() - 1);
    if (Count() > 1 && At(Count() - 1) == u' ') Delete(Count() - 1);
    const bool onlyBreak = Count() == 1 && At(0) == html::kLineBreakChar;
    if (!onlyBreak && Count() > 0 && At(Count() - 1) != u' ') {
      const int end = Count();
      text.push_back({u' ', kBreakOrdinary, source});
      if (runs.back().start == end) runs.back().start = end + 1;
    }
  }
};

// Letters of both cases, digits, spaces, soft hyphens, line breaks, no-break spaces, a capital
// that has no one-unit small form, a far-eastern character.
constexpr char16_t kAlphabet[] = u"aBc9  \u00AD\u00AD\b\u00A0\u00DF\u3042Z";

class SectionContentModel : public texttest::TextFixture {};

TEST_F(SectionContentModel, TokensAndTidyingGiveTheDescribedText) {
  std::mt19937 random(130);
  for (int round = 0; round < 400; ++round) {
    SCOPED_TRACE(round);
    SectionModel model;
    html::TSection& s = NewSection();
    std::vector<std::unique_ptr<texttest::TTestControl>> controls;
    const auto top = [this]() -> html::TProperties& { return state.TopProperties(); };
    int32_t source = 0;
    int small = 0;  // the runs being added are one step smaller
    for (int op = int(random() % 25); op > 0; --op) {
      switch (random() % 9) {
        case 0:
          state.noBreak = !state.noBreak;
          break;
        case 1: {
          const char* const transforms[] = {"none", "uppercase", "lowercase"};
          top().Values[html::piTextTransform] = std::string(transforms[random() % 3]);
          break;
        }
        case 2:
          top().Values[html::piFontVariant] = std::string(random() % 3 ? "normal" : "small-caps");
          break;
        case 3:
          if (small)
            state.PopPropertiesTo("small");
          else
            state.PushProperties("small");
          small = 1 - small;
          s.ChangeFont(state.TopProperties());
          model.ChangeFont(small);
          break;
        case 4: {
          const bool floating = random() % 2;
          s.AddFloatingObj(std::make_unique<texttest::TTestObject>(
                               10, 10, floating ? html::aLeft : html::aBottom),
                           source);
          model.objects.push_back({model.Count(), floating});
          model.text.push_back(
              {html::kObjectChar, state.noBreak ? kBreakNever : kBreakOrdinary, source++});
          break;
        }
        case 5: {
          controls.push_back(std::make_unique<texttest::TTestControl>());
          const char flag = random() % 2 ? kBreakNever : kBreakOrdinary;
          s.AddFormControl(*controls.back(), source, flag);
          model.controls.push_back({model.Count(), false});
          model.text.push_back({html::kControlChar, flag, source++});
          break;
        }
        case 6:
          s.ForceBreakAtEnd();
          if (!model.text.empty()) model.text.back().flag = 'a';
          break;
        default: {
          std::u16string token;
          for (int n = int(1 + random() % 6); n > 0; --n)
            token += kAlphabet[random() % (std::size(kAlphabet) - 1)];
          texttest::AddText(s, token, source);
          const int transform = top().GetTextTransform();
          const char flag = state.noBreak ? kBreakNever : kBreakOrdinary;
          const bool smallCaps = top().GetFontVariant() == "small-caps";
          bool smallMode = false;
          for (size_t k = 0; k < token.size(); ++k) {
            char16_t ch = token[k];
            if (transform == 1 || smallCaps) ch = plat::UpperCaseUnit(ch);
            if (transform == 2 && !smallCaps) ch = plat::LowerCaseUnit(ch);
            if (smallCaps) {
              const char16_t given = transform == 1   ? plat::UpperCaseUnit(token[k])
                                     : transform == 2 ? plat::LowerCaseUnit(token[k])
                                                      : token[k];
              const bool neutral = given == u' ' || (given >= u'0' && given <= u'9');
              if (!neutral && given != ch && !smallMode)
                model.ChangeFont(small + 1), smallMode = true;
              else if (!neutral && given == ch && smallMode)
                model.ChangeFont(small), smallMode = false;
            }
            model.text.push_back({ch, flag, source + int32_t(k)});
          }
          if (smallMode) model.ChangeFont(small);
          source += int32_t(token.size());
          break;
        }
      }
    }
    state.noBreak = false;
    s.ProcessText(source);
    model.ProcessText(source);

    std::u16string text;
    std::string flags;
    for (const ModelChar& c : model.text) text += c.ch, flags += c.flag;
    ASSERT_EQ(s.Text, text);
    if (!text.empty()) flags += kBreakOrdinary;
    ASSERT_EQ(s.BreakFlags, flags);
    ASSERT_EQ(s.PosCount, int32_t(text.size()));
    ASSERT_EQ(s.SectionNumber != 0, !text.empty());
    ASSERT_EQ(s.Fonts.Count(), int(model.runs.size()));
    for (size_t i = 0; i < model.runs.size(); ++i) {
      ASSERT_EQ(s.Fonts[int(i)]->StartPos, model.runs[i].start) << "run " << i;
      if (i > 0)
        ASSERT_EQ(s.Fonts[int(i)]->Font->Height() == s.Fonts[int(i - 1)]->Font->Height(),
                  model.runs[i].smaller == model.runs[i - 1].smaller)
            << "run " << i;
    }
    ASSERT_EQ(s.Images().Count(), int(model.objects.size()));
    for (size_t i = 0; i < model.objects.size(); ++i)
      ASSERT_EQ(s.Images()[int(i)]->Pos, model.objects[i].pos);
    for (size_t i = 0; i < model.controls.size(); ++i)
      ASSERT_EQ(controls[i]->Pos, model.controls[i].pos);
    // Source positions: one index entry where the run of consecutive offsets breaks.
    size_t entry = 0;
    for (size_t i = 0; i < model.text.size(); ++i) {
      if (i > 0 && model.text[i].source == model.text[i - 1].source + 1) continue;
      ASSERT_LT(entry, s.SourceIndex.size());
      ASSERT_EQ(s.SourceIndex[entry].Pos, int32_t(i));
      ASSERT_EQ(s.SourceIndex[entry].Index, model.text[i].source);
      ++entry;
    }
    ASSERT_EQ(entry, s.SourceIndex.size());
    if (small) state.PopPropertiesTo("small");
    top().Values[html::piTextTransform] = std::string("none");
    top().Values[html::piFontVariant] = std::string("normal");
  }
}

}  // namespace
