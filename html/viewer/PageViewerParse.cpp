// Hands the viewer's page text to the document builder.
#include "html/parse/DocumentBuilder.h"
#include "html/viewer/PageViewer.h"
#include "platform/htmlservices/HtmlText.h"

namespace html {

void TPageViewer::ParseDocument(int fileType) {
  // A failed parse leaves nothing of the previous page's title or base.
  documentTitle_.clear();
  base_.clear();
  baseTarget_.clear();
  TDocumentInfo info;
  if (fileType == 1) {
    ParseTextDocument(documentSource_, *document_);
  } else if (fileType == 2) {
    ParseHtmlDocument("<img src=\"" + currentFile_ + "\">", *document_, {}, {}, {}, {}, &info);
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
