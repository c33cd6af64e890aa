// Folder platform/htmlservices: what the HTML engine asks of the platform - code pages and wide
// text, PNG decoding and input state (font families are in platform/drawing).
//
// Wide-text services of the HTML engine: case mapping of single UTF-16 units and conversion
// between code pages and UTF-16 that keeps track of where each character came from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Simple case mapping of one code unit; units without a one-unit mapping stay as they are.
char16_t UpperCaseUnit(char16_t unit);
char16_t LowerCaseUnit(char16_t unit);

inline constexpr int CP_ACP = 0;  // the system code page: Windows-1252 here
inline constexpr int CP_OEMCP = 1;
inline constexpr int CP_MACCP = 2;
inline constexpr int CP_UTF8 = 65001;

// Decodes bytes of a code page (an unknown one decodes as code page 0) and appends the UTF-16
// text to `out`. When `starts` is given, it receives for every unit appended the offset of the
// first byte of its character (both units of a surrogate pair get the same one). A byte that
// starts no valid character becomes U+FFFD and is one character.
void DecodeCodePage(int codePage, std::string_view bytes, std::u16string& out,
                    std::vector<int32_t>* starts = nullptr);
// Encodes UTF-16 text into a code page (an unknown one as code page 0); characters the code page
// lacks become "?", unpaired surrogates too.
std::string EncodeCodePage(int codePage, std::u16string_view text);
// True when the code page is known (as given, not through the fall-back).
bool CodePageKnown(int codePage);

}  // namespace plat
