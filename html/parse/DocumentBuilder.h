// Builds the document model of a page from its HTML (or plain) text: blocks, text sections, font
// runs, rules and lists in the section list, each styled from the cascade of the page's style
// sheet.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "html/layout/sections/PageSections.h"
#include "html/parse/HtmlReader.h"

namespace html {

// A BGSOUND element: its source and loop count (1 without LOOP).
using TSoundType =
    std::function<void(plat::TObject* sender, const std::string& src, int loop, bool terminate)>;
// A META element's HTTP-EQUIV, NAME and CONTENT.
using TMetaType = std::function<void(plat::TObject* sender, const std::string& httpEquiv,
                                     const std::string& name, const std::string& content)>;
// A LINK element's REL, REV and HREF.
using TLinkType = std::function<void(plat::TObject* sender, const std::string& rel,
                                     const std::string& rev, const std::string& href)>;

// What a page says about itself besides its content.
struct TDocumentInfo {
  std::u16string Title;
  std::string Base;        // BASE HREF
  std::string BaseTarget;  // BASE TARGET
  int32_t CodePage = 0;    // of the document's text, as its start or a META content type says
};

// A linked sheet read from a file larger than this is left out unread.
inline constexpr int64_t kMaxSheetFileBytes = int64_t(64) << 20;

// Builds the page doc into sectionList (which should be empty). Malformed markup is skipped or
// repaired; only EParseError escapes, and then sectionList holds what was built so far.
void ParseHtmlDocument(const std::string& doc, TSectionList& sectionList,
                       const TIncludeType& includeEvent = {}, const TSoundType& soundEvent = {},
                       const TMetaType& metaEvent = {}, const TLinkType& linkEvent = {},
                       TDocumentInfo* info = nullptr);

// Builds doc as one preformatted block, each byte taken as the character of the same code.
void ParseTextDocument(const std::string& doc, TSectionList& sectionList);

}  // namespace html
