// Reads a whole document through the tokenizer and describes its symbols as short texts:
// "<p>", "</p>", "<h3>", "text:two words", "command", "eof".
#pragma once

#include <string>
#include <vector>

#include "html/parse/HtmlReader.h"

namespace html {

inline std::string Utf8(const std::u16string& text) {
  return WideToMultibyte(65001, text);
}

inline std::string DescribeSymbol(THtmlTokenizer& tokenizer) {
  const Symb sy = tokenizer.Sy;
  if (sy == EofSy) return "eof";
  if (sy == CommandSy) return "command";
  if (sy == TextSy) return "text:" + Utf8(tokenizer.Token.GetString());
  const std::string level = tokenizer.HeaderLevel ? std::to_string(tokenizer.HeaderLevel) : "";
  if (!SymbToStr(sy).empty()) return "<" + SymbToStr(sy) + level + ">";
  return "</" + EndSymbToStr(sy) + level + ">";
}

// Every symbol up to and including the end of input (at most 1000).
inline std::vector<std::string> SymbolsOf(THtmlTokenizer& tokenizer, const std::string& document) {
  tokenizer.Start(document);
  tokenizer.GetCh();
  std::vector<std::string> symbols;
  do {
    tokenizer.GetSymbol();
    symbols.push_back(DescribeSymbol(tokenizer));
  } while (tokenizer.Sy != EofSy && symbols.size() < 1000);
  return symbols;
}

inline std::vector<std::string> SymbolsOf(const std::string& document) {
  THtmlTokenizer tokenizer;
  return SymbolsOf(tokenizer, document);
}

using Symbols = std::vector<std::string>;

}  // namespace html
