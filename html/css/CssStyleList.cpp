#include <algorithm>
#include <array>
#include <vector>

#include "html/css/CssLengths.h"
#include "html/css/CssStyles.h"
#include "html/css/CssText.h"

namespace html {

namespace {

constexpr size_t kMostKeyParts = 10;

const std::string kEmpty;

// One simple selector of a descendant key.
struct KeyPart {
  std::string tag, classes, id, pseudo;
  bool directParentOnly = false;  // the next part must be this element's parent
};

KeyPart SplitKeyPart(std::string text) {
  KeyPart part;
  if (const size_t colon = text.find(':'); colon != std::string::npos) {
    part.pseudo = text.substr(colon + 1);
    text.erase(colon);
  }
  if (const size_t hash = text.find('#'); hash != std::string::npos) {
    part.id = text.substr(hash + 1);
    text.erase(hash);
  }
  if (const size_t dot = text.find('.'); dot != std::string::npos) {
    part.classes = text.substr(dot + 1);
    text.erase(dot);
  }
  part.tag = std::move(text);
  return part;
}

// Subject first, then the ancestors from the nearest out; the count and sequence number in
// front of the nearest ancestor are dropped.
std::vector<KeyPart> SplitDescendantKey(std::string_view key) {
  std::vector<std::string> texts;
  size_t pos = 0;
  while (pos < key.size()) {
    if (key[pos] == ' ') {
      ++pos;
      continue;
    }
    const size_t blank = key.find(' ', pos);
    if (texts.size() + 1 == kMostKeyParts || blank == std::string_view::npos) {
      texts.push_back(Trim(key.substr(pos)));
      break;
    }
    texts.emplace_back(key.substr(pos, blank - pos));
    pos = blank + 1;
  }
  if (texts.size() > 1) {
    std::string& nearest = texts[1];
    size_t cut = 1;
    while (cut < nearest.size() && nearest[cut] >= '0' && nearest[cut] <= '9') ++cut;
    nearest.erase(0, cut);
  }
  std::vector<KeyPart> parts;
  for (std::string& text : texts) {
    const size_t mark = text.find('>');
    if (mark != std::string::npos) text.erase(mark, 1);
    parts.push_back(SplitKeyPart(std::move(text)));
    if (mark != std::string::npos && parts.size() > 1)
      parts[parts.size() - 2].directParentOnly = true;
  }
  return parts;
}

// Every class of `wanted` is among those of `have` (both separated by ".").
bool ClassesAmong(const std::string& wanted, const std::string& have) {
  auto split = [](const std::string& list) {
    std::vector<std::string> out;
    size_t start = 0;
    for (size_t dot; (dot = list.find('.', start)) != std::string::npos; start = dot + 1)
      out.push_back(list.substr(start, dot - start));
    out.push_back(list.substr(start));
    return out;
  };
  const std::vector<std::string> haveList = split(have);
  for (const std::string& c : split(wanted))
    if (std::find(haveList.begin(), haveList.end(), c) == haveList.end()) return false;
  return true;
}

bool MatchesAncestor(const KeyPart& part, const TProperties& entry) {
  return (part.tag.empty() || part.tag == entry.Tag) &&
         (part.classes.empty() || part.classes == entry.Classes ||
          ClassesAmong(part.classes, entry.Classes)) &&
         (part.id.empty() || part.id == entry.Id) &&
         (part.pseudo.empty() || part.pseudo == entry.Pseudo);
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && CompareText(s.substr(0, prefix.size()), prefix) == 0;
}

std::string SubjectSignature(const std::string& tag, const std::string& classes,
                             const std::string& id, const std::string& pseudo) {
  return tag + '\n' + classes + '\n' + id + '\n' + pseudo;
}

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// The subject and the ancestor count of a descendant key: the text before its sequence number.
std::string_view KeyHead(std::string_view key) {
  return key.substr(0, std::min(key.find(' ') + 2, key.size()));
}

// The sequence number of a descendant key (it follows the count; written together with it).
uint32_t KeySeqNo(std::string_view key) {
  uint32_t seqNo = 0;
  for (size_t i = KeyHead(key).size(); i < key.size() && key[i] >= '0' && key[i] <= '9'; ++i)
    seqNo = std::min<uint32_t>(seqNo * 10 + uint32_t(key[i] - '0'), 1u << 30);
  return seqNo;
}

// Descendant rules merge by subject and count, then in the order they were written: by number,
// so that rule 100 follows rule 99.
bool DescendantOrder(const TStyleList::Entry* a, const TStyleList::Entry* b) {
  if (const int head = CompareText(KeyHead(a->key), KeyHead(b->key)); head != 0) return head < 0;
  if (a->seqNo != b->seqNo) return a->seqNo < b->seqNo;
  const int order = CompareText(a->key, b->key);
  return order != 0 ? order < 0 : a->order < b->order;
}

}  // namespace

// ---- The sheet

size_t TStyleList::KeyHash::operator()(std::string_view key) const {
  size_t hash = 14695981039346656037ull;
  for (char c : key) hash = (hash ^ uint8_t(AsciiLower(c))) * 1099511628211ull;
  return hash;
}

bool TStyleList::KeyEqual::operator()(std::string_view a, std::string_view b) const {
  return CompareText(a, b) == 0;
}

TStyleList::Entry* TStyleList::FindEntry(std::string_view key) const {
  const auto it = byKey_.find(key);
  return it == byKey_.end() ? nullptr : it->second.first;
}

const TStyleRule* TStyleList::FindRule(std::string_view key) const {
  const Entry* entry = FindEntry(key);
  return entry ? &entry->rule : nullptr;
}

void TStyleList::MergeRules(std::string_view key, TProperties& target) const {
  const Entry* entry = FindEntry(key);
  if (!entry) return;
  target.MergeItems(entry->rule);
  for (entry = entry->nextSame; entry && entry->key == key; entry = entry->nextSame)
    target.MergeItems(entry->rule);
}

void TStyleList::Clear() {
  byKey_.clear();
  bySubject_.clear();
  listSeqNos_.clear();
  entries_.clear();
  seqNo_ = 10;
  defaultRule_ = nullptr;
  defaultProperties_.reset();
  hoverRules_ = false;
}

TStyleRule& TStyleList::AddObject(const std::string& key, TStyleRule rule) {
  Entry& entry = entries_.emplace_back(Entry{key, std::move(rule), uint32_t(entries_.size())});
  const auto [it, added] = byKey_.try_emplace(entry.key, Chain{&entry, &entry});
  if (!added) it->second.last = it->second.last->nextSame = &entry;
  IndexDescendant(entry);
  return entry.rule;
}

// Keys with a blank are descendant rules; they are found through their subject and the mark
// their nearest ancestor part asks for.
void TStyleList::IndexDescendant(Entry& entry) {
  if (entry.key.find(' ') == std::string::npos) return;
  const std::vector<KeyPart> parts = SplitDescendantKey(entry.key);
  if (parts.size() < 2) return;
  const KeyPart& subject = parts[0];
  const KeyPart& nearest = parts[1];
  std::string mark = "*";
  if (!nearest.id.empty())
    mark = "#" + nearest.id;
  else if (!nearest.classes.empty())
    mark = "." + nearest.classes.substr(0, nearest.classes.find('.'));
  else if (!nearest.tag.empty())
    mark = nearest.tag;
  Subjects& subjects =
      bySubject_[SubjectSignature(subject.tag, subject.classes, subject.id, subject.pseudo)][mark];
  entry.seqNo = KeySeqNo(entry.key);
  if (!subjects.entries.empty() && DescendantOrder(&entry, subjects.entries.back()))
    subjects.sorted = false;
  subjects.entries.push_back(&entry);
}

void TStyleList::AncestorMarks(const TProperties& element, std::vector<std::string>& marks) {
  marks.push_back(element.Tag);
  if (!element.Id.empty()) marks.push_back("#" + element.Id);
  if (element.Classes.empty()) return;
  size_t start = 0;
  for (size_t dot; (dot = element.Classes.find('.', start)) != std::string::npos; start = dot + 1)
    marks.push_back("." + element.Classes.substr(start, dot - start));
  marks.push_back("." + element.Classes.substr(start));
}

std::vector<const TStyleList::Entry*> TStyleList::DescendantRules(
    std::string_view tag, const std::string& classes, const std::string& id,
    const std::string& pseudo, const std::vector<std::string>& ancestors) const {
  std::vector<const Entry*> found;
  if (bySubject_.empty()) return found;
  // A part left empty fits anything; an empty pseudo class also fits a link.
  const std::string t(tag);
  std::vector<std::string> signatures;
  for (const std::string* tagPart : {&t, &kEmpty})
    for (const std::string* classPart : {&classes, &kEmpty})
      for (const std::string* idPart : {&id, &kEmpty})
        for (const std::string* pseudoPart : {&pseudo, &kEmpty}) {
          if (pseudoPart->empty() && !pseudo.empty() && pseudo != "link") continue;
          std::string signature = SubjectSignature(*tagPart, *classPart, *idPart, *pseudoPart);
          if (std::find(signatures.begin(), signatures.end(), signature) == signatures.end())
            signatures.push_back(std::move(signature));
        }
  std::vector<const std::string*> marks;
  for (const std::string& mark : ancestors)
    if (std::none_of(marks.begin(), marks.end(), [&](const std::string* m) { return *m == mark; }))
      marks.push_back(&mark);
  size_t lists = 0;
  for (const std::string& signature : signatures) {
    const auto bySignature = bySubject_.find(signature);
    if (bySignature == bySubject_.end()) continue;
    for (const std::string* mark : marks) {
      const auto it = bySignature->second.find(*mark);
      if (it == bySignature->second.end()) continue;
      Subjects& subjects = it->second;
      if (!subjects.sorted) {
        std::stable_sort(subjects.entries.begin(), subjects.entries.end(), DescendantOrder);
        subjects.sorted = true;
      }
      found.insert(found.end(), subjects.entries.begin(), subjects.entries.end());
      ++lists;
    }
  }
  if (lists > 1) std::sort(found.begin(), found.end(), DescendantOrder);
  return found;
}

std::string TStyleList::GetSeqNo() {
  return std::to_string(seqNo_++);
}

std::string TStyleList::DescendantKey(const std::string& head, const std::string& ancestors) {
  const auto [it, added] = listSeqNos_.try_emplace(head + '\n' + ancestors, seqNo_);
  if (added) ++seqNo_;
  return head + std::to_string(it->second) + ancestors;
}

TStyleRule& TStyleList::AddDuplicate(const std::string& key, const TStyleRule& source) {
  return AddObject(key, source);
}

void TStyleList::ModifyLinkColor(std::string_view pseudoName, TColor colour) {
  if (Entry* entry = FindEntry("::" + std::string(pseudoName))) entry->rule.Set(piColor, colour);
}

void TStyleList::RefreshDefaults() {
  auto defaults = std::make_unique<TProperties>();
  if (defaultRule_)
    for (const TStyleRule::Slot& slot : defaultRule_->rule.Slots())
      defaults->Values[slot.index] = slot.value;
  defaults->Charset = defaultCharset_;
  defaults->DefaultFontName = defaultFontName_;
  defaults->Tag = "default";
  defaultProperties_ = std::move(defaults);
}

void TStyleList::AddOrModifyProperty(const std::string& selector, std::string_view propName,
                                     const std::string& value) {
  const int property = FindPropertyIndex(propName);
  if (property < 0) return;
  Entry* entry = FindEntry(selector);
  TStyleRule added;
  TStyleRule& rule = entry ? entry->rule : added;
  if (property == piColor) {
    TColor colour;
    if (ParseColor(value, false, colour)) {
      rule.Set(piColor, colour);
      if (selector == ":link") {
        ModifyLinkColor("hover", colour);
        ModifyLinkColor("visited", colour);
      } else if (selector == ":visited") {
        ModifyLinkColor("hover", colour);
      }
    }
  } else {
    rule.AddPropertyByIndex(property, value);
  }
  if (!entry) AddObject(selector, std::move(added));
  if (entry && entry == defaultRule_) RefreshDefaults();
  if (Contains(selector, ":hover")) hoverRules_ = true;
  if (selector == "a") AddOrModifyProperty("::link", propName, value);
}

// ---- Rule lookup

void TProperties::ApplyStyles(const TStyleList& styles, const TPropStack* stack,
                              std::string_view tag, const std::string& classes,
                              const std::string& id, const std::string& pseudo,
                              const TProperties* inlineStyle, double baseSize) {
  auto merge = [&](const std::string& key) { styles.MergeRules(key, *this); };
  const std::string t(tag);
  const bool plain = pseudo.empty() || (pseudo != "hover" && pseudo != "visited");
  if (t == "a" && !pseudo.empty()) merge("::" + pseudo);
  if (plain) merge(t);
  if (!pseudo.empty()) merge(":" + pseudo);
  if (!classes.empty() && plain) {
    merge("." + classes);
    merge(t + "." + classes);
  }
  if (!pseudo.empty()) merge(t + ":" + pseudo);
  if (!classes.empty() && !pseudo.empty()) {
    merge("." + classes + ":" + pseudo);
    merge(t + "." + classes + ":" + pseudo);
  }
  if (!id.empty()) {
    merge("#" + id);
    merge(t + "#" + id);
    if (!classes.empty()) merge("." + classes + "#" + id);
    if (!pseudo.empty()) {
      merge("#" + id + ":" + pseudo);
      merge(t + "#" + id + ":" + pseudo);
    }
    if (!classes.empty()) merge(t + "." + classes + "#" + id);
    merge("." + classes + "#" + id + ":" + pseudo);
    merge(t + "." + classes + "#" + id + ":" + pseudo);
  }

  // Descendant rules whose subject fits, scanned by the subject's tag, classes and pseudo class;
  // a rule that does not apply lets the scan go on.
  const int own = stack ? stack->IndexOf(this) : -1;
  const int nearestAncestor = stack ? (own >= 0 ? own - 1 : stack->Count() - 1) : 0;
  std::vector<const TStyleList::Entry*> candidates;
  if (styles.HasDescendantRules() && nearestAncestor >= 1) {
    std::vector<std::string> marks = {"*"};
    // The bottom entry holds the document defaults, not an element.
    for (int j = nearestAncestor; j >= 1; --j) TStyleList::AncestorMarks(stack->Items(j), marks);
    candidates = styles.DescendantRules(tag, classes, id, pseudo, marks);
  }
  if (!candidates.empty()) {
    auto mergeIfAncestorsMatch = [&](const TStyleList::Entry& entry) {
      const std::vector<KeyPart> parts = SplitDescendantKey(entry.key);
      bool directOnly = parts[0].directParentOnly;
      size_t k = 1;
      for (int j = nearestAncestor; k < parts.size() && j >= 1; --j) {
        if (MatchesAncestor(parts[k], stack->Items(j))) {
          if (k + 1 == parts.size()) MergeItems(entry.rule);
          directOnly = parts[k].directParentOnly;
          ++k;
        } else if (directOnly) {
          break;
        }
      }
    };
    for (const std::string& prefix : {t, "." + classes, ":" + pseudo})
      for (const TStyleList::Entry* entry : candidates)
        if (StartsWith(entry->key, prefix)) mergeIfAncestorsMatch(*entry);
  }

  if (inlineStyle) MergeItems(*inlineStyle);
  if (const std::string* text = VarString(Values[piFontSize]))
    Values[piFontSize] = FontSizeConv(*text, baseSize);
}

}  // namespace html
