// Following links: named places in the page, other pages and pictures, the history of pages
// shown and the list of visited links.
#include <algorithm>
#include <array>
#include <string_view>

#include "html/layout/text/FontRuns.h"
#include "html/viewer/PageViewer.h"
#include "platform/runtime/Files.h"
#include "platform/runtime/SysUtils.h"

namespace html {

namespace {

constexpr uint8_t kHtmlFile = 0;
constexpr uint8_t kImageFile = 2;
constexpr std::array<std::string_view, 2> kPageExtensions = {".HTM", ".HTML"};
constexpr std::array<std::string_view, 5> kImageExtensions = {".BMP", ".GIF", ".JPG", ".JPEG",
                                                              ".PNG"};

template <size_t N>
bool OneOf(const std::string& extension, const std::array<std::string_view, N>& list) {
  return std::find(list.begin(), list.end(), extension) != list.end();
}

}  // namespace

TEncodedPosition TPageViewer::EncodedPosition() {
  const int32_t y = vScrollBar_->Position();
  int32_t top = 0;
  int index = 0;
  if (!document_->ItemAtY(y, top, index)) return {-1, y};
  return {index, y - top};
}

void TPageViewer::RestorePosition(const TEncodedPosition& position) {
  if (position.Item < 0) {
    ScrollTo(position.Offset);
    return;
  }
  if (position.Item >= int32_t(document_->AnchorOrder.size())) return;
  const int64_t y =
      int64_t(document_->AnchorOrder[size_t(position.Item)]->GetYPosition()) + position.Offset;
  ScrollTo(int32_t(std::clamp<int64_t>(y, 0, INT32_MAX)));
}

bool TPageViewer::PositionTo(const std::string& destination) {
  if (destination.empty()) return false;
  const std::string name =
      plat::UpperCase(destination[0] == '#' ? destination.substr(1) : destination);
  TIDObject* object = document_->Targets.Find(name);
  if (!object) return false;
  ScrollTo(object->GetYPosition());
  SetHorzPosition(0);
  AddVisitedLink(currentFile_ + "#" + name);
  return true;
}

void TPageViewer::FollowLink() {
  if (OnHotSpotClick) {
    bool handled = false;
    OnHotSpotClick(this, url_, handled);
    if (handled) return;
  }
  const TEncodedPosition oldPos = EncodedPosition();
  std::string name = url_;
  std::string destination;
  if (const size_t hash = name.find('#'); hash != std::string::npos) {
    destination = name.substr(hash);
    name.erase(hash);
  }
  if (name.empty()) {
    if (PositionTo(destination)) {
      BumpHistory(currentFile_, documentTitle_, currentFileType_, nullptr, oldPos);
      AddVisitedLink(currentFile_ + destination);
    }
    return;
  }
  name = ExpandRelativeFileName(name);
  const std::string extension = plat::UpperCase(plat::ExtractFileExt(name));
  if (OneOf(extension, kPageExtensions)) {
    if (name != currentFile_) {
      NavigateToFile(name + destination, kHtmlFile);
      AddVisitedLink(name + destination);
    } else if (PositionTo(destination)) {
      BumpHistory(currentFile_, documentTitle_, kHtmlFile, nullptr, oldPos);
      AddVisitedLink(name + destination);
    }
  } else if (OneOf(extension, kImageExtensions)) {
    NavigateToFile(name, kImageFile);
  }
}

void TPageViewer::NavigateToFile(const std::string& name, int fileType) {
  if (processing_ || name.empty()) return;
  const std::string oldFile = currentFile_;
  const std::string oldTitle = documentTitle_;
  const TEncodedPosition oldPos = EncodedPosition();
  const uint8_t oldType = currentFileType_;
  std::unique_ptr<TFreeList<plat::TStringList>> oldFormData = document_->CollectFormData();
  LoadFromFile(name, fileType);
  if (currentFile_ == oldFile && currentFileType_ == oldType) return;
  BumpHistory(oldFile, oldTitle, oldType, std::move(oldFormData), oldPos);
}

void TPageViewer::BumpHistory(const std::string& oldFile, const std::string& oldTitle,
                              uint8_t oldType,
                              std::unique_ptr<TFreeList<plat::TStringList>> oldFormData,
                              const TEncodedPosition& oldPos) {
  if (historyMaxCount_ < 1 || currentFile_.empty()) return;
  if (oldFile == currentFile_ && oldType == currentFileType_ && EncodedPosition() == oldPos) return;
  if (history_.Count() > 0 && !oldFile.empty()) {
    PositionObj& entry = *positionHistory_[historyIndex_];
    // Form values are kept for a page that was left for another file.
    const bool fileChanged = oldFile != currentFile_;
    history_.SetStrings(historyIndex_, oldFile);
    titleHistory_.SetStrings(historyIndex_, oldTitle);
    entry.Pos = oldPos;
    entry.FileType = oldType;
    if (fileChanged) entry.FormData = std::move(oldFormData);
    for (int i = historyIndex_ - 1; i >= 0; --i) {
      history_.Delete(i);
      titleHistory_.Delete(i);
      positionHistory_.Delete(i);
    }
  }
  historyIndex_ = 0;
  history_.Insert(0, currentFile_);
  auto position = std::make_unique<PositionObj>();
  position->Pos = EncodedPosition();
  position->FileType = currentFileType_;
  positionHistory_.Insert(0, std::move(position));
  titleHistory_.Insert(0, documentTitle_);
  if (history_.Count() > historyMaxCount_) {
    history_.Delete(historyMaxCount_);
    titleHistory_.Delete(historyMaxCount_);
    positionHistory_.Delete(historyMaxCount_);
  }
  if (OnHistoryChange) OnHistoryChange(this);
}

void TPageViewer::ClearHistory() {
  const bool removed = history_.Count() > 0;
  history_.Clear();
  titleHistory_.Clear();
  positionHistory_.Clear();
  historyIndex_ = 0;
  // The page stays shown, so its name stays too: its relative links are found beside it.
  if (removed && OnHistoryChange) OnHistoryChange(this);
}

void TPageViewer::SetHistoryMaxCount(int value) {
  if (value < 0 || value == historyMaxCount_) return;
  if (value < historyMaxCount_) ClearHistory();
  historyMaxCount_ = value;
}

std::string TPageViewer::VisitedName(const std::string& url) const {
  if (!url.empty() && url[0] == '#') return currentFile_ + url;
  return ExpandRelativeFileName(url);
}

void TPageViewer::AddVisitedLink(const std::string& name) {
  if (visitedMaxCount_ <= 0 || name.empty()) return;
  if (visited_.Count() > 0 && visited_[0] == name) return;
  const int at = visited_.IndexOf(name);
  if (at >= 0) {
    visited_.Delete(at);
  } else {
    for (TLinkRun* link : document_->LinkRuns) {
      auto* run = dynamic_cast<TFontObj*>(link);
      if (run && plat::SameText(VisitedName(run->GetURL()), name)) run->SetVisited(true);
    }
  }
  visited_.Insert(0, name);
  while (visited_.Count() > visitedMaxCount_) visited_.Delete(visited_.Count() - 1);
}

void TPageViewer::MarkVisitedLinks() {
  if (visited_.Count() == 0) return;
  for (TLinkRun* link : document_->LinkRuns) {
    auto* run = dynamic_cast<TFontObj*>(link);
    if (!run || run->GetURL().empty()) continue;
    const std::string name = VisitedName(run->GetURL());
    for (int i = 0; i < visited_.Count(); ++i) {
      if (plat::SameText(visited_[i], name)) {
        run->SetVisited(true);
        break;
      }
    }
  }
}

void TPageViewer::SetVisitedMaxCount(int value) {
  value = std::max(value, 0);
  if (value == visitedMaxCount_) return;
  visitedMaxCount_ = value;
  while (visited_.Count() > value) visited_.Delete(visited_.Count() - 1);
  if (value > 0) return;
  for (TLinkRun* link : document_->LinkRuns)
    if (auto* run = dynamic_cast<TFontObj*>(link)) run->SetVisited(false);
  Invalidate();
}

}  // namespace html
