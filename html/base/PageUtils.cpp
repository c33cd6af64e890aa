#include "html/base/PageUtils.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/htmlservices/HtmlText.h"

namespace html {

// --- Attributes

bool TAttributeList::Find(Symb sym, TAttribute*& attr) const {
  for (const auto& item : *this)
    if (item->Which == sym) {
      attr = item.get();
      return true;
    }
  return false;
}

std::string TAttributeList::GetID() {
  TAttribute* attr;
  if (SaveID.empty() && Find(IDSy, attr)) SaveID = plat::LowerCase(attr->Name);
  return SaveID;
}

std::string TAttributeList::GetTitle() const {
  TAttribute* attr;
  return Find(TitleSy, attr) ? attr->Name : std::string();
}

std::unique_ptr<plat::TStringList> TAttributeList::CreateStringList() const {
  auto list = std::make_unique<plat::TStringList>();
  for (const auto& item : *this) list->Add(item->WhichName + "=" + item->Name);
  return list;
}

void TAttributeList::Clear() {
  SaveID.clear();
  TFreeList<TAttribute>::Clear();
}

bool AttributeNumber(std::string_view text, int32_t& number) {
  const std::string trimmed = plat::Trim(text);
  std::string_view rest = trimmed;
  if (!rest.empty() && rest.back() == '%' && rest.find('%') == rest.size() - 1)
    rest.remove_suffix(1);
  const auto isDigit = [&](size_t i) {
    return i < rest.size() && rest[i] >= '0' && rest[i] <= '9';
  };
  if (rest.empty() || !(rest[0] == '+' || rest[0] == '-' || rest[0] == '.' || isDigit(0)))
    return false;
  size_t i = 0;
  const bool negative = rest[0] == '-';
  if (rest[0] == '+' || negative) ++i;
  double value = 0;
  for (; isDigit(i); ++i) value = value * 10 + (rest[i] - '0');
  if (i < rest.size() && rest[i] == '.') {
    double scale = 0.1;
    for (++i; isDigit(i); ++i, scale /= 10) value += (rest[i] - '0') * scale;
  }
  constexpr double kMax = std::numeric_limits<int32_t>::max();
  number = int32_t(std::nearbyint(std::clamp(negative ? -value : value, -kMax, kMax)));
  return true;
}

// --- Links

namespace {
// Link numbers are unique over the program's lifetime.
int32_t nextLinkID = 10;
}  // namespace

void TUrlTarget::Assign(const std::string& url, const std::string& target,
                        const TAttributeList& attributes, int32_t start) {
  URL = url;
  Target = target;
  ID = nextLinkID++;
  utText->Start = start;
  Attr.clear();
  const auto lines = attributes.CreateStringList();
  for (int i = 0; i < lines->Count(); ++i) Attr += lines->Strings(i) + "\r\n";
}

void TUrlTarget::Copy(const TUrlTarget& from) {
  URL = from.URL;
  Target = from.Target;
  ID = from.ID;
  TabIndex = from.TabIndex;
  Attr = from.Attr;
  *utText = *from.utText;
}

void TUrlTarget::Clear() {
  URL.clear();
  Target.clear();
  Attr.clear();
  ID = 0;
  TabIndex = 0;
  *utText = TutText();
}

// --- Selection visitors

namespace {
// Objects and line-break marks hold a place in section text but are not text.
bool IsTextCharacter(char16_t c) {
  return c != 2 && c != 4 && c != 8;
}
}  // namespace

void SelTextCount::AddText(const char16_t* p, int32_t size) {
  for (int32_t i = 0; i < size; ++i)
    if (IsTextCharacter(p[i])) ++Count;
}

int32_t SelTextCount::Terminate() {
  return Count;
}

void SelTextCount::AddTextCR(const char16_t* p, int32_t size) {
  AddText(p, size);
  static const char16_t crLf[] = u"\r\n";
  AddText(crLf, 2);
}

void SelTextBuf::AddText(const char16_t* p, int32_t size) {
  for (int32_t i = 0; i < size; ++i)
    if (IsTextCharacter(p[i]) && size_t(Count) + 1 < Buffer.size()) Buffer[size_t(Count++)] = p[i];
}

int32_t SelTextBuf::Terminate() {
  if (Buffer.empty()) return 0;
  Buffer[size_t(Count)] = 0;
  return Count + 1;
}

// --- Wide strings

namespace {
size_t ZeroTerminatedLength(const char16_t* s) {
  size_t length = 0;
  while (s[length]) ++length;
  return length;
}
}  // namespace

const char16_t* WideStrPos(const char16_t* str, const char16_t* sub) {
  if (!str || !sub) return nullptr;
  const std::u16string_view text(str, ZeroTerminatedLength(str));
  const std::u16string_view wanted(sub, ZeroTerminatedLength(sub));
  if (wanted.empty() || wanted.size() > text.size()) return nullptr;
  const size_t found = text.find(wanted);
  return found == text.npos ? nullptr : str + found;
}

const char16_t* WideStrScan(const char16_t* str, char16_t ch) {
  for (;; ++str) {
    if (*str == ch) return str;
    if (*str == 0) return nullptr;
  }
}

const char16_t* WideStrRScan(const char16_t* str, char16_t ch) {
  const char16_t* last = nullptr;
  for (;; ++str) {
    if (*str == ch) last = str;
    if (*str == 0) return last;
  }
}

int WidePos(std::u16string_view sub, std::u16string_view s) {
  if (sub.empty()) return 0;
  const size_t found = s.find(sub);
  return found == s.npos ? 0 : int(found) + 1;
}

std::u16string WideUpperCaseStr(std::u16string_view s) {
  std::u16string result(s);
  for (char16_t& c : result) c = plat::UpperCaseUnit(c);
  return result;
}

std::u16string WideLowerCaseStr(std::u16string_view s) {
  std::u16string result(s);
  for (char16_t& c : result) c = plat::LowerCaseUnit(c);
  return result;
}

bool WideSameStr(std::u16string_view a, std::u16string_view b) {
  return a == b;
}

std::u16string WideTrim(std::u16string_view s) {
  size_t first = 0, last = s.size();
  while (first < last && s[first] < 33) ++first;
  while (last > first && s[last - 1] < 33) --last;
  return std::u16string(s.substr(first, last - first));
}

int PosFrom(std::string_view sub, std::string_view s, int start) {
  const size_t from = start <= 1 ? 0 : size_t(start) - 1;
  if (sub.empty() || from >= s.size()) return 0;
  const size_t found = s.find(sub, from);
  return found == s.npos ? 0 : int(found) + 1;
}

void ReplaceChar(char16_t oldChar, char16_t newChar, std::u16string& s) {
  for (char16_t& c : s)
    if (c == oldChar) c = newChar;
}

// --- Measuring and drawing

int FitText(const plat::DeviceContext& dc, const char16_t* s, int len, int maxWidth, int& extent) {
  extent = 0;
  if (maxWidth < 1 || len <= 0) return 0;
  int32_t fit = 0;
  std::vector<int32_t> partial;
  dc.GetTextExtentEx(std::u16string_view(s, size_t(len)), maxWidth, &fit, &partial);
  // A surrogate pair is one character: never end between its halves.
  if (fit > 0 && fit < len && s[fit - 1] >= 0xD800 && s[fit - 1] <= 0xDBFF) --fit;
  if (fit > 0) extent = partial[size_t(fit - 1)];
  return fit;
}

plat::TSize GetWideTextExtent(const plat::DeviceContext& dc, const char16_t* s, int len) {
  if (len <= 0) return dc.GetTextExtent(std::u16string_view());
  return dc.GetTextExtent(std::u16string_view(s, size_t(len)));
}

void WideDrawText(plat::TCanvas& canvas, int left, int top, std::u16string_view s, int right,
                  int bottom) {
  plat::DeviceContext* dc = canvas.Handle();
  if (!dc) return;
  dc->SelectFont(canvas.Font().LogFont());
  dc->SetTextColor(plat::TColorRef(plat::ColorToRGB(canvas.Font().Color())));
  dc->SetBkColor(plat::TColorRef(plat::ColorToRGB(canvas.Brush().Color())));
  dc->SetBkMode(canvas.Brush().Style() == plat::bsSolid ? plat::OPAQUE : plat::TRANSPARENT);
  const uint32_t oldAlign = dc->SetTextAlign(plat::TA_LEFT | plat::TA_TOP);
  plat::TRect rect{left, top, right, bottom};
  dc->DrawText(s, rect, plat::DT_WORDBREAK);
  dc->SetTextAlign(oldAlign);
}

TSavedClip SaveClipRegion(plat::TCanvas& canvas, const plat::TRect& rect) {
  TSavedClip saved;
  plat::DeviceContext* dc = canvas.Handle();
  if (!dc) return saved;
  saved.OldRgn = dc->ClipRegion();
  const plat::TPoint topLeft = dc->LogicalToDevice({rect.Left, rect.Top});
  const plat::TPoint bottomRight = dc->LogicalToDevice({rect.Right, rect.Bottom});
  saved.NewRgn = plat::TRegion(plat::TRect{topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y});
  if (saved.OldRgn) saved.NewRgn = saved.NewRgn.Combined(*saved.OldRgn, plat::RGN_AND);
  dc->SelectClipRgn(&saved.NewRgn);
  return saved;
}

void RestoreClipRegion(plat::TCanvas& canvas, const TSavedClip& saved) {
  if (plat::DeviceContext* dc = canvas.Handle())
    dc->SelectClipRgn(saved.OldRgn ? &*saved.OldRgn : nullptr);
}

}  // namespace html
