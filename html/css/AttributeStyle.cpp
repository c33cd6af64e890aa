// The attribute look-ups that hand over to the CSS layer.
#include <algorithm>

#include "html/base/PageUtils.h"
#include "html/css/CssParser.h"
#include "html/css/CssStyles.h"

namespace html {

std::string TAttributeList::GetClass() const {
  TAttribute* attr;
  if (!Find(ClassSy, attr)) return std::string();
  const std::string classes = plat::LowerCase(plat::Trim(attr->Name));
  if (classes.find(' ') == std::string::npos) return classes;
  std::string dotted;
  size_t pos = 0;
  while (pos < classes.size()) {
    const size_t blank = std::min(classes.find(' ', pos), classes.size());
    const std::string word = plat::Trim(std::string_view(classes).substr(pos, blank - pos));
    if (!word.empty()) dotted += "." + word;
    pos = blank + 1;
  }
  const std::string ordered = OrderSimpleSelector(dotted);
  return ordered.empty() ? ordered : ordered.substr(1);
}

std::shared_ptr<TProperties> TAttributeList::GetStyle() {
  TAttribute* attr;
  if (!Find(StyleSy, attr)) return nullptr;
  Prop = std::make_shared<TProperties>();
  ParseInlineStyle(attr->Name, *Prop);
  return Prop;
}

}  // namespace html
