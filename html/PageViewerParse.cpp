// Hands the viewer's page text to the document builder.
#include "html/DocumentBuilder.h"
#include "html/PageViewer.h"

namespace html {

void TPageViewer::ParseDocument(int fileType) {
  if (fileType == 1) {
    ParseTextDocument(documentSource_, *document_);
    return;
  }
  if (fileType == 2) {
    ParseHtmlDocument("<img src=\"" + currentFile_ + "\">", *document_);
    return;
  }
  ParseHtmlDocument(
      documentSource_, *document_, OnInclude, OnSoundRequest,
      [this](plat::TObject*, const std::string& httpEq, const std::string& name,
             const std::string& content) { HandleMeta(httpEq, name, content); },
      OnLink);
}

}  // namespace html
