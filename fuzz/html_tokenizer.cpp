// The HTML tokenizer over any bytes: the symbol stream, with include directives answered from
// the input itself, then the charset look-up and the Japanese conversions. The only failure
// allowed is the parse error of an unterminated comment.
#include <cstddef>
#include <cstdint>
#include <string>

#include "html/parse/HtmlReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string document(reinterpret_cast<const char*>(Data), Size);
  html::THtmlTokenizer tokenizer;
  html::TIDNameList ids(nullptr);
  tokenizer.IDs = &ids;
  tokenizer.TopCodePage = [&] { return Size % 2 ? 65001 : 932; };
  // Every directive is answered with the start of the document, a bounded number of times.
  int includes = 0;
  tokenizer.IncludeHandler = [&](plat::TObject*, const std::string&,
                                 std::unique_ptr<plat::TStringList>, std::string& text) {
    if (++includes <= 8) text = document.substr(0, 64);
  };
  tokenizer.Start(document);
  try {
    tokenizer.GetCh();
    for (int i = 0; i < 100000; ++i) {
      tokenizer.GetSymbol();
      if (tokenizer.Sy == html::EofSy) break;
      (void)tokenizer.Token.GetString();
    }
  } catch (const html::EParseError&) {
  }
  uint8_t charset = 0;
  tokenizer.FindCharset(document, charset);
  html::IsIso2022Jp(document);
  html::Iso2022JpToShiftJis(document);
  if (html::EucJpToShiftJis(document).size() != document.size()) __builtin_trap();
  return 0;
}
