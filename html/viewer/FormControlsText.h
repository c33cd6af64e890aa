// Text of form elements: attribute values and element text come in the page's code page, the
// windows show UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "html/base/PageUtils.h"

namespace html {

std::string TextToUtf8(int32_t codePage, std::string_view text);
std::string AttributeUtf8(const TAttribute& attribute);
// The value of a NAME=value line list for a name, case ignored; found tells whether it is there.
std::string LineValue(const plat::TStringList& lines, std::string_view name, bool& found);

}  // namespace html
