// Font runs of a section against a model written from their description: the run at a
// position, the characters to the next run, and runs that lose characters (one at a time in the
// model, together in the engine), with the keyboard focus window of a link passing to the
// link's next run. The document's list of link runs against a plain list searched whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "html/layout/text/FontRuns.h"

namespace {

struct ModelRun {
  int start, link;
  bool focus;
  int name;  // identifies the engine's run
};

// The run covering p: the first run starting at or after p when it starts at p, else the one
// before it; the last run when none starts at or after p.
int ModelRunAt(const std::vector<ModelRun>& runs, int p) {
  size_t i = 0;
  while (i < runs.size() && runs[i].start < p) ++i;
  if (i == runs.size()) return int(runs.size()) - 1;
  return runs[i].start == p || i == 0 ? int(i) : int(i) - 1;
}

int ModelCountAt(const std::vector<ModelRun>& runs, int p, int length) {
  size_t i = 0;
  while (i < runs.size() && runs[i].start < p) ++i;
  if (i < runs.size() && runs[i].start == p) ++i;
  return i == runs.size() ? length - p : runs[i].start - p;
}

// One character at p deleted: later runs move down; a run left empty goes, handing a focus
// window to the next run of the same link.
void ModelDelete(std::vector<ModelRun>& runs, int p) {
  for (ModelRun& run : runs)
    if (run.start > p) --run.start;
  for (size_t i = 1; i < runs.size();) {
    if (runs[i - 1].start != runs[i].start) {
      ++i;
      continue;
    }
    if (runs[i - 1].focus && runs[i - 1].link == runs[i].link) runs[i].focus = true;
    runs.erase(runs.begin() + ptrdiff_t(i - 1));
  }
}

TEST(FontRunModel, LookUpsAndDeletionsFollowTheRuns) {
  std::mt19937 random(151);
  for (int round = 0; round < 200; ++round) {
    html::TFontList list;
    std::vector<ModelRun> model;
    std::vector<const html::TFontObj*> named;
    int start = 0, length = 0, link = 0;
    for (int k = int(1 + random() % 30); k > 0; --k) {
      auto run =
          std::make_unique<html::TFontObj>(nullptr, std::make_unique<html::TMyFont>(), start);
      if (random() % 3 == 0) ++link;  // a link's runs follow each other
      run->LinkRecord().ID = link;
      // One focus window a link, on its first run.
      const bool focus = std::none_of(model.begin(), model.end(),
                                      [&](const ModelRun& m) { return m.link == link; }) &&
                         random() % 2;
      if (focus) run->SetFocusControl(std::make_unique<html::ThtTabcontrol>(nullptr));
      model.push_back({start, link, focus, int(named.size())});
      named.push_back(run.get());
      list.Add(std::move(run));
      start += int(random() % 5);  // empty runs too
    }
    length = start + int(random() % 5);
    for (int step = 0; step < 40 && length > 0; ++step) {
      // Look-ups jump around and walk forwards, as layout and hit tests do.
      for (int q = 0; q < 20; ++q) {
        const int p = q % 4 == 0 ? int(random() % (length + 3)) : std::min(length + 2, q);
        int index = -1;
        const html::TFontObj* run = list.GetFontObjAt(p, index);
        const int expected = ModelRunAt(model, p);
        ASSERT_EQ(index, expected) << round << " at " << p;
        ASSERT_EQ(run, named[size_t(model[size_t(expected)].name)]);
        ASSERT_EQ(list.GetFontCountAt(p, length), ModelCountAt(model, p, length)) << p;
      }
      // A few characters go at once; the model deletes them one by one from the last.
      std::vector<int32_t> kept;
      std::vector<int> gone;
      for (int p = 0; p < length; ++p)
        if (random() % 8 == 0 || (p == length - 1 && gone.empty()))
          gone.push_back(p);
        else
          kept.push_back(p);
      list.Compact(kept, nullptr);
      for (auto p = gone.rbegin(); p != gone.rend(); ++p) ModelDelete(model, *p);
      length = int(kept.size());
      ASSERT_EQ(list.Count(), int(model.size()));
      for (size_t i = 0; i < model.size(); ++i) {
        ASSERT_EQ(list[int(i)]->StartPos, model[i].start);
        ASSERT_EQ(list[int(i)] == named[size_t(model[i].name)], true);
        ASSERT_EQ(list[int(i)]->FocusControl() != nullptr, model[i].focus) << round << " run " << i;
      }
    }
  }
}

struct FakeRun : html::TLinkRun {
  int32_t LinkID() const override { return 0; }
  void SetHover(bool) override {}
};

TEST(FontRunModel, TheLinkRunListFindsWhatAPlainSearchFinds) {
  std::mt19937 random(152);
  std::vector<FakeRun> runs(60);
  for (int round = 0; round < 100; ++round) {
    std::vector<html::TLinkRun*> list, model;
    for (int step = 0; step < 300; ++step) {
      html::TLinkRun& run = runs[random() % runs.size()];
      const auto at = std::find(model.begin(), model.end(), &run);
      switch (random() % 4) {
        case 0:
        case 1:
          html::AddLinkRun(list, run);
          if (at == model.end()) model.push_back(&run);
          break;
        case 2:
          html::DropLinkRun(list, run);
          if (at != model.end()) model.erase(at);
          break;
        default:  // runs leave together without being told, as the runs of a tidied section do
          std::erase_if(list, [&](html::TLinkRun* r) { return r == &run || r == &runs[0]; });
          std::erase_if(model, [&](html::TLinkRun* r) { return r == &run || r == &runs[0]; });
      }
      ASSERT_EQ(list, model) << round << " step " << step;
      const html::TLinkRun& probe = runs[random() % runs.size()];
      ASSERT_EQ(html::FindLinkRun(list, probe),
                size_t(std::find(model.begin(), model.end(), &probe) - model.begin()));
    }
  }
}

}  // namespace
