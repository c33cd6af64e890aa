// The fixed pieces of the about page. The contact line is a mail link whose title shows as a
// hint.
#pragma once

#include <string_view>

namespace app {

inline constexpr std::string_view AboutPiece1 =
    "<html><head><title>About PixStamp</title></head>\r\n<body>\r\n";
inline constexpr std::string_view AboutPiece2 = "<center>\r\n<h2>";
inline constexpr std::string_view AboutPiece3 = "\r\n";
inline constexpr std::string_view AboutPiece4 = "\r\n";
inline constexpr std::string_view AboutPiece5 =
    "</h2>A watermark editor for your pictures<br>Version";
inline constexpr std::string_view AboutPiece6 = "<br>\r\n</center>\r\n";
inline constexpr std::string_view AboutPiece7 = "<p>Contact: ";
inline constexpr std::string_view AboutPiece8 =
    "<p><a href=\"https://www.example.org/pixstamp/\" title=\"The program's home page\">"
    "www.example.org/pixstamp</a></p>\r\n</body></html>\r\n";

inline constexpr std::string_view AboutContactPiece1 = "<a href=\"mailto:";
inline constexpr std::string_view AboutContactPiece2 = "pixstamp";
inline constexpr std::string_view AboutContactPiece3 = "@example.org";
inline constexpr std::string_view AboutContactPiece4 = "\" title=\"Write to the author\">";
inline constexpr std::string_view AboutContactPiece5 = "pixstamp&#64;example.org";
inline constexpr std::string_view AboutContactPiece6 = "</a></p>\r\n";

inline constexpr std::string_view NoLinkHandlerText = "No program on this system opens ";

}  // namespace app
