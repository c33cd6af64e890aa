// Hands the viewer's page text to the document builder.
#include <cstdint>
#include <string>

#include "html/parse/DocumentBuilder.h"
#include "html/viewer/PageViewer.h"
#include "platform/htmlservices/HtmlText.h"

namespace html {

namespace {

// The page of a picture shown alone: an IMG whose SRC expands back to the file's name. What the
// reader would take as markup or fold, and "%" itself, is written as the percent escapes that
// the expansion of names decodes.
std::string PicturePage(const std::string& fileName) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string src;
  for (const char c : fileName) {
    const auto byte = uint8_t(c);
    if (byte < ' ' || c == '"' || c == '&' || c == '%')
      src += {'%', kHex[byte >> 4], kHex[byte & 15]};
    else
      src += c;
  }
  return "<img src=\"" + src + "\">";
}

}  // namespace

void TPageViewer::ParseDocument(int fileType) {
  // A failed parse leaves nothing of the previous page's title or base.
  documentTitle_.clear();
  base_.clear();
  baseTarget_.clear();
  TDocumentInfo info;
  if (fileType == 1) {
    ParseTextDocument(documentSource_, *document_);
  } else if (fileType == 2) {
    ParseHtmlDocument(PicturePage(currentFile_), *document_, {}, {}, {}, {}, &info);
  } else {
    ParseHtmlDocument(
        documentSource_, *document_, OnInclude, OnSoundRequest,
        [this](plat::TObject*, const std::string& httpEq, const std::string& name,
               const std::string& content) { HandleMeta(httpEq, name, content); },
        OnLink, &info);
  }
  documentTitle_ = plat::EncodeCodePage(plat::CP_UTF8, info.Title);
  base_ = info.Base;
  baseTarget_ = info.BaseTarget;
}

}  // namespace html
