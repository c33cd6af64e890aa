// Style sheets and STYLE attributes read into rules and properties, shorthands expanded.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace html {

class TStyleList;
class TProperties;

// Returns the next character of the sheet, or 0 at the end.
using TCssReadChar = std::function<char()>;

// Reads a sheet whose first character is `ch`. Without untilEnd a "<" ends it (the end tag of
// a STYLE element) unless peekChar, which shows the character readChar would return next
// without reading it, finds "!" behind it; the sheet never reads past that "<", so the caller
// goes on from it. On return `ch` holds the character where reading stopped, in upper case.
// `linkPath` is the base of url() values of a linked sheet (empty: kept as written).
void ParseStyleSheet(TStyleList& styles, char& ch, const TCssReadChar& readChar,
                     const TCssReadChar& peekChar, bool untilEnd, const std::string& linkPath);
// The declarations of a STYLE attribute into `props`.
void ParseInlineStyle(std::string_view text, TProperties& props);

// A selector as a style sheet key: simple selectors with two or more of ".", ":", "#" put in
// the order tag, classes, ID, pseudo class when `ordered`; descendant selectors numbered with
// the sheet's sequence numbers.
std::string ProcessSelector(std::string_view text, bool ordered, TStyleList& styles);
// One simple selector in that canonical order (".b.a" gives ".a.b").
std::string OrderSimpleSelector(std::string_view part);

}  // namespace html
