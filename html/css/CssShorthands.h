// Shorthand CSS properties expanded into the properties they stand for.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace html {

// Receives each (property name, value) pair of an expansion.
using TCssEmit = std::function<void(std::string_view name, const std::string& value)>;

// The words of a value, at most maxIndex + 1: quoted runs stay in their word, a "/" after the
// first character starts a word of its own.
std::vector<std::string> SplitCssValue(std::string_view value, size_t maxIndex);
// Cuts url(...) groups (rgb(...) ones when there are none) out of the value, at most seven.
std::vector<std::string> ExtractParenGroups(std::string& value);

// An url() value with its address resolved against the base of a linked sheet.
std::string ResolveCssUrl(const std::string& value, const std::string& linkPath);

// Expands `name` when it is a shorthand; false when it is not one.
bool ExpandShorthand(std::string_view name, const std::string& value, const std::string& linkPath,
                     const TCssEmit& emit);

}  // namespace html
