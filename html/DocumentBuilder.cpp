#include "html/DocumentBuilder.h"

namespace html {

void ParseHtmlDocument(const std::string&, TSectionList&, const TIncludeType&, const TSoundType&,
                       const TMetaType&, const TLinkType&) {}

void ParseTextDocument(const std::string&, TSectionList&) {}

}  // namespace html
