// Random walks over linked pages, each link clicked through the window's own events, against a
// model of the history and the visited list: which clicks make an entry and what it holds, the
// newest entries kept up to each count, and which links of the page show as visited.
#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "InteractionFixture.h"
#include "html/layout/text/FontRuns.h"
#include "support/ScratchFolder.h"

namespace html::test {
namespace {

constexpr int kPages = 3;
const char* const kDestinations[] = {"", "#N0", "#N1", "#N2", "#NX"};  // no part is named NX

std::string PageName(int page) {
  return "p" + std::to_string(page) + ".html";
}

// Three named parts, each followed by links to every part of every page, to the pages
// themselves, to the page's own parts by name alone, and to a name no page has.
std::string LinkedPage(int page) {
  std::string links;
  int n = 0;
  const auto link = [&](const std::string& href) {
    links += "<a href=\"" + href + "\">L" + std::to_string(n++) + "</a> ";
  };
  for (int p = 0; p < kPages; ++p)
    for (const char* destination : kDestinations) link(PageName(p) + destination);
  for (const char* destination : kDestinations)
    if (*destination) link(destination);
  std::string text = "<title>Page " + std::to_string(page) + "</title>";
  for (int part = 0; part < 3; ++part) {
    const std::string id = std::to_string(part);
    text += "<h3 id=N" + id + ">part " + id + "</h3><p>" + links + "</p>";
    for (int filler = 0; filler < 6; ++filler) text += "<p>filler</p>";
  }
  return text;
}

struct NavigationModel {
  int historyMax = 0, visitedMax = 0;
  std::string file, title;
  std::vector<std::pair<std::string, std::string>> history;  // file, title; newest first
  std::vector<std::string> visited;
  std::set<std::string> marked;  // expanded link names the page shows as visited
  int changes = 0;

  void Visit(const std::string& name) {
    if (visitedMax <= 0 || (!visited.empty() && visited[0] == name)) return;
    if (const auto at = std::find(visited.begin(), visited.end(), name); at != visited.end())
      visited.erase(at);
    else
      marked.insert(name);
    visited.insert(visited.begin(), name);
    if (int(visited.size()) > visitedMax) visited.resize(size_t(visitedMax));
  }
  // After the view went to a new file or place; an unchanged place in the same file is no entry.
  void Bump(const std::string& oldFile, const std::string& oldTitle, bool moved) {
    if (historyMax < 1 || (oldFile == file && !moved)) return;
    if (!history.empty()) history[0] = {oldFile, oldTitle};
    history.insert(history.begin(), {file, title});
    if (int(history.size()) > historyMax) history.resize(size_t(historyMax));
    ++changes;
  }
  void Load(const std::string& name, int page) {
    file = name;
    title = "Page " + std::to_string(page);
    marked = std::set<std::string>(visited.begin(), visited.end());
  }
};

class NavigationWalk : public ViewerInteraction {
 protected:
  // A point inside each link the panel shows, by its URL.
  std::map<std::string, plat::TPoint> VisibleLinks() {
    plat::CaptureControl(Panel());  // hits find what the last paint placed
    std::map<std::string, std::vector<plat::TPoint>> hits;
    for (int y = 2; y < Panel().Height() - 2; y += 4)
      for (int x = 2; x < Panel().Width() - 2; x += 6) {
        THitLink hit;
        if (viewer->GetLinkAt(x, y, hit) & hlLink) hits[hit.UrlTarget->URL].push_back({x, y});
      }
    std::map<std::string, plat::TPoint> points;
    for (const auto& [url, at] : hits) points[url] = at[at.size() / 2];
    return points;
  }

  test_support::ScratchFolder folder;
};

TEST_F(NavigationWalk, HistoryAndVisitedLinksFollowTheModel) {
  for (int page = 0; page < kPages; ++page)
    std::ofstream(folder.File(PageName(page)), std::ios::binary) << LinkedPage(page);
  std::mt19937 random(1021);
  NavigationModel model;
  viewer->OnHistoryChange = [&](plat::TObject*) { --model.changes; };
  for (int walk = 0; walk < 4; ++walk) {
    const int historyMax = int(random() % 5), visitedMax = walk == 0 ? 50 : int(random() % 7);
    viewer->SetHistoryMaxCount(0);  // lowering it clears what the last walk left
    viewer->SetHistoryMaxCount(historyMax);
    viewer->SetVisitedMaxCount(0);
    viewer->SetVisitedMaxCount(visitedMax);
    model = NavigationModel{};
    model.historyMax = historyMax;
    model.visitedMax = visitedMax;
    viewer->LoadFromFile(folder.File(PageName(0)));
    plat::Application().ProcessMessages();
    model.Load(folder.File(PageName(0)), 0);
    const auto expanded = [&](const std::string& url) {
      return url[0] == '#' ? model.file + url : folder.File(url);
    };
    for (int step = 0; step < 25; ++step) {
      const std::map<std::string, plat::TPoint> links = VisibleLinks();
      ASSERT_GE(links.size(), 10u);
      const auto& [url, point] = *std::next(links.begin(), long(random() % links.size()));
      SCOPED_TRACE(testing::Message() << "walk " << walk << " step " << step << " " << url);
      const int32_t before = viewer->Position();
      Click(point);
      const bool moved = viewer->Position() != before;

      const size_t hash = std::min(url.find('#'), url.size());
      const std::string name = url.substr(0, hash), destination = url.substr(hash);
      const bool named = destination.size() > 1 && destination != "#NX";
      const std::string target = name.empty() ? model.file : folder.File(name);
      const std::string oldFile = model.file, oldTitle = model.title;
      if (target != model.file) {
        model.Load(target, name[1] - '0');
        if (named) model.Visit(target + destination);
        model.Bump(oldFile, oldTitle, true);
        model.Visit(target + destination);
      } else if (named) {
        model.Visit(target + destination);
        model.Bump(oldFile, oldTitle, moved);
      }

      ASSERT_EQ(viewer->CurrentFile(), model.file);
      EXPECT_EQ(viewer->DocumentTitle(), model.title);
      std::vector<std::pair<std::string, std::string>> history;
      for (int i = 0; i < viewer->History().Count(); ++i)
        history.emplace_back(viewer->History()[i], viewer->TitleHistory()[i]);
      EXPECT_EQ(history, model.history);
      EXPECT_EQ(viewer->PositionHistory().Count(), int(model.history.size()));
      EXPECT_EQ(model.changes, 0);
      std::vector<std::string> visited;
      for (int i = 0; i < viewer->Visited().Count(); ++i) visited.push_back(viewer->Visited()[i]);
      EXPECT_EQ(visited, model.visited);
      for (TLinkRun* link : viewer->Document().LinkRuns)
        if (auto* run = dynamic_cast<TFontObj*>(link))
          EXPECT_EQ(run->IsVisited, model.marked.count(expanded(run->GetURL())) > 0)
              << run->GetURL();
    }
  }
}

}  // namespace
}  // namespace html::test
