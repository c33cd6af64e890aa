// The named character references and the charset names of META content types.
#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "html/parse/HtmlReader.h"

namespace html {

namespace {

struct TEntity {
  std::string_view Name;
  uint32_t Value;
};

// The Latin-1 names, for the codes 160 to 255 in order.
constexpr std::array<std::string_view, 96> kLatin1Names = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml",
};

// The Greek letters from 913 (capitals) and 945 (small letters) in order; 930 is unassigned.
constexpr std::array<std::string_view, 25> kGreekNames = {
    "alpha", "beta",   "gamma",   "delta", "epsilon", "zeta",    "eta",   "theta", "iota",
    "kappa", "lambda", "mu",      "nu",    "xi",      "omicron", "pi",    "rho",   "sigmaf",
    "sigma", "tau",    "upsilon", "phi",   "chi",     "psi",     "omega",
};

constexpr TEntity kOtherEntities[] = {
    // Special characters.
    {"quot", 34},
    {"amp", 38},
    {"lt", 60},
    {"gt", 62},
    {"apos", 8217},
    {"OElig", 338},
    {"oelig", 339},
    {"Scaron", 352},
    {"scaron", 353},
    {"Yuml", 376},
    {"circ", 710},
    {"tilde", 732},
    {"ensp", 8194},
    {"emsp", 8195},
    {"thinsp", 8201},
    {"zwnj", 8204},
    {"zwj", 8205},
    {"lrm", 8206},
    {"rlm", 8207},
    {"ndash", 8211},
    {"mdash", 8212},
    {"lsquo", 8216},
    {"rsquo", 8217},
    {"sbquo", 8218},
    {"ldquo", 8220},
    {"rdquo", 8221},
    {"bdquo", 8222},
    {"dagger", 8224},
    {"Dagger", 8225},
    {"permil", 8240},
    {"lsaquo", 8249},
    {"rsaquo", 8250},
    {"euro", 8364},
    // Symbols.
    {"fnof", 402},
    {"thetasym", 977},
    {"upsih", 978},
    {"piv", 982},
    {"bull", 8226},
    {"hellip", 8230},
    {"prime", 8242},
    {"Prime", 8243},
    {"oline", 8254},
    {"frasl", 8260},
    {"weierp", 8472},
    {"image", 8465},
    {"real", 8476},
    {"trade", 8482},
    {"alefsym", 8501},
    {"larr", 8592},
    {"uarr", 8593},
    {"rarr", 8594},
    {"darr", 8595},
    {"harr", 8596},
    {"crarr", 8629},
    {"lArr", 8656},
    {"uArr", 8657},
    {"rArr", 8658},
    {"dArr", 8659},
    {"hArr", 8660},
    {"forall", 8704},
    {"part", 8706},
    {"exist", 8707},
    {"empty", 8709},
    {"nabla", 8711},
    {"isin", 8712},
    {"notin", 8713},
    {"ni", 8715},
    {"prod", 8719},
    {"sum", 8721},
    {"minus", 8722},
    {"lowast", 8727},
    {"radic", 8730},
    {"prop", 8733},
    {"infin", 8734},
    {"ang", 8736},
    {"and", 8743},
    {"or", 8744},
    {"cap", 8745},
    {"cup", 8746},
    {"int", 8747},
    {"there4", 8756},
    {"sim", 8764},
    {"cong", 8773},
    {"asymp", 8776},
    {"ne", 8800},
    {"equiv", 8801},
    {"le", 8804},
    {"ge", 8805},
    {"sub", 8834},
    {"sup", 8835},
    {"nsub", 8836},
    {"sube", 8838},
    {"supe", 8839},
    {"oplus", 8853},
    {"otimes", 8855},
    {"perp", 8869},
    {"sdot", 8901},
    {"lceil", 8968},
    {"rceil", 8969},
    {"lfloor", 8970},
    {"rfloor", 8971},
    {"lang", 9001},
    {"rang", 9002},
    {"loz", 9674},
    {"spades", 9824},
    {"clubs", 9827},
    {"hearts", 9829},
    {"diams", 9830},
};

// The whole table sorted by name (byte order), for binary search.
std::vector<TEntity> MakeEntityList() {
  std::vector<TEntity> list(std::begin(kOtherEntities), std::end(kOtherEntities));
  for (size_t i = 0; i < kLatin1Names.size(); ++i)
    list.push_back({kLatin1Names[i], uint32_t(160 + i)});
  static const std::array<std::string, 25> capitals = [] {
    std::array<std::string, 25> names;
    for (size_t i = 0; i < kGreekNames.size(); ++i) {
      names[i] = std::string(kGreekNames[i]);
      names[i][0] = char(names[i][0] - 'a' + 'A');
    }
    return names;
  }();
  for (size_t i = 0; i < kGreekNames.size(); ++i) {
    list.push_back({kGreekNames[i], uint32_t(945 + i)});
    // There is no capital final sigma: 930 stays unassigned.
    if (kGreekNames[i] != "sigmaf") list.push_back({capitals[i], uint32_t(913 + i)});
  }
  std::sort(list.begin(), list.end(),
            [](const TEntity& a, const TEntity& b) { return a.Name < b.Name; });
  return list;
}

struct TCharsetName {
  std::string_view Fragment;
  uint8_t Charset;
};

// Searched in this order; the first fragment contained in the content type wins.
constexpr TCharsetName kCharsets[] = {
    {"1252", 0},         {"8859-1", 0},    {"1253", 161},       {"8859-7", 161},
    {"1250", 238},       {"8859-2", 31},   {"1251", 204},       {"8859-5", 204},
    {"koi", 204},        {"866", 204},     {"1254", 162},       {"8859-3", 162},
    {"8859-9", 162},     {"1257", 186},    {"8859-4", 186},     {"932", 128},
    {"949", 129},        {"936", 134},     {"950", 136},        {"1255", 177},
    {"1256", 178},       {"1258", 163},    {"874", 222},        {"ansi", 0},
    {"default", 1},      {"symbol", 2},    {"shiftjis", 128},   {"shift_jis", 128},
    {"x-sjis", 128},     {"hangeul", 129}, {"gb2312", 134},     {"big5", 136},
    {"oem", 255},        {"johab", 130},   {"hebrew", 177},     {"arabic", 178},
    {"greek", 161},      {"turkish", 162}, {"vietnamese", 163}, {"thai", 222},
    {"easteurope", 238}, {"russian", 204}, {"euc-kr", 129},     {"5601", 129},
    {"euc-jp", 30},      {"8859-15", 0},   {"tis-620", 222},
};

constexpr uint8_t kEucJpCharset = 30;
constexpr uint8_t kShiftJisCharset = 128;

}  // namespace

bool FindEntity(std::string_view name, uint32_t& value) {
  static const std::vector<TEntity> list = MakeEntityList();
  const auto found =
      std::lower_bound(list.begin(), list.end(), name,
                       [](const TEntity& e, std::string_view n) { return e.Name < n; });
  if (found == list.end() || found->Name != name) return false;
  value = found->Value;
  return true;
}

bool THtmlTokenizer::FindCharset(const std::string& content, uint8_t& charset) {
  const std::string lower = plat::LowerCase(content);
  for (const TCharsetName& row : kCharsets) {
    if (lower.find(row.Fragment) == std::string::npos) continue;
    charset = row.Charset;
    if (charset == kEucJpCharset) {
      if (!japaneseConverted_) {
        const char before = readPos_ > 0 ? document_[readPos_ - 1] : 0;
        document_ = EucJpToShiftJis(document_);
        japaneseConverted_ = true;
        // The current character was read before the conversion: take it again (only bytes
        // above 127 change, so it is no letter to upper-case).
        if (!included_ && readPos_ > 0 && LCh == before) LCh = LCToken = document_[readPos_ - 1];
      }
      charset = kShiftJisCharset;
    }
    return true;
  }
  return false;
}

}  // namespace html
