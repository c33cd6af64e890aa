// Folder html/parse: the tokenizer, symbols, entities and code pages, and the document builder with
// its table parsing. Builds the model of html/layout.
//
// The HTML tokenizer: 8-bit document text in, a stream of symbols out (tags with their
// attributes, runs of text decoded to wide characters with their source positions, end of
// input), with line ends, comments, server blocks, include directives and entities handled below
// the symbol level.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "html/base/IDNames.h"
#include "html/base/PageUtils.h"
#include "html/base/TextBuffers.h"
#include "html/parse/HtmlSymbols.h"

namespace html {

// The only failure of the HTML parser.
class EParseError : public plat::Exception {
 public:
  using Exception::Exception;
};

// Called for an include directive <!--#command name=value ...-->: params passes to the handler;
// text it puts into iString is read in place of the directive.
using TIncludeType =
    std::function<void(plat::TObject* sender, const std::string& command,
                       std::unique_ptr<plat::TStringList> params, std::string& iString)>;

class THtmlTokenizer {
 public:
  // A place in the text to come back to, inside included text as well.
  struct TReadMark {
    char LCh, LCToken;
    size_t ReadPos;
    int32_t SourcePos;
    uint8_t LineEnd;
    std::shared_ptr<const std::string> Included;
    size_t IncludedPos;
  };

  // Starts reading document (nothing is read yet: call GetCh). sourcePos is the position of the
  // character before the first one (-1; a caller that removed a 3-byte mark passes 2).
  // japaneseConverted: the document was already made Shift_JIS, so a charset naming EUC-JP
  // leaves its text as it is.
  void Start(std::string document, int32_t sourcePos = -1, bool japaneseConverted = false);
  const std::string& Document() const { return document_; }

  // --- Characters
  // The next byte of the current source; 0 at the end of the document.
  char ReadSourceChar();
  // What ReadSourceChar would return next.
  char PeekChar() const;
  // One character into LCh/LCToken: every line end becomes one CR, a TAB a space.
  void ReadNormalizedChar();
  // ReadNormalizedChar, skipping comments, declarations, server blocks and include directives.
  void GetCh();
  void SkipWhiteSpace();
  TReadMark Mark() const;
  void Restore(const TReadMark& mark);

  // --- Symbols
  // The next symbol into Sy (with Token, Attributes, HeaderLevel and TagStart).
  void GetSymbol();
  bool GetTag();
  bool GetAttribute(Symb& sym, std::string& name, std::string& value, int32_t& numeric);
  bool GetText();
  // The entity at '&' into the text being gathered in stretch.
  void GetTextEntity(TCharCollection& stretch);
  // The entity at '&' as 8-bit text of the code page; what cannot be decoded stays as written.
  std::string GetEntityInValue(int codePage);

  // The link-counting pass before building: reads the whole document with nothing gathered,
  // recorded or reported and no include directive answered, then starts reading again from the
  // beginning. True when the document has more than 400 links.
  bool PreScanManyLinks();

  // The charset named by a META content type; EUC-JP converts the document to Shift_JIS (unless
  // it was converted before) and gives the Shift_JIS charset.
  bool FindCharset(const std::string& content, uint8_t& charset);

  // --- State the builder reads and sets
  char LCh = 0;
  char LCToken = 0;
  int32_t SourcePos = -1;
  bool InComment = false;
  bool RawText = false;  // '<' starts nothing
  bool PreScan = false;  // the link-counting pass: no text, no IDs, no progress
  Symb Sy = EofSy;
  int HeaderLevel = 0;
  int32_t TagStart = 0;
  TokenObj Token;
  TAttributeList Attributes;

  // The code page of the element being read (the top of the builder's property stack); code
  // page 0 while unassigned.
  std::function<int32_t()> TopCodePage;
  // Where IDs are entered (none: not recorded).
  TIDNameList* IDs = nullptr;
  TIncludeType IncludeHandler;
  plat::TObject* Sender = nullptr;
  // Progress reports every 4096 bytes, as percent of ProgressStart.
  std::function<void(int percent)> OnProgress;
  int ProgressStart = 75;

 private:
  int32_t CodePage() const { return TopCodePage ? TopCodePage() : 0; }
  // Back to the start of the document, with the given position before the first character.
  void Rewind(int32_t sourcePos);
  // ReadNormalizedChar inside a comment: the end of input raises.
  void ReadCommentChar();
  void SkipDashedComment();
  void DoInclude();
  // Reads a quoted attribute or parameter value opened by the current quote character; each line
  // end in it becomes lineEnd.
  std::string ReadQuoted(std::string_view lineEnd, int codePage);
  void PlaceEntityValue(uint32_t value, bool numeric, int32_t position, TCharCollection& stretch);
  void ReportProgress();

  std::string document_;
  size_t readPos_ = 0;
  // Text from include directives, read before the rest of the document; shared with the marks
  // taken inside it.
  std::shared_ptr<const std::string> included_;
  size_t includedPos_ = 0;
  uint8_t lineEnd_ = 0;
  bool japaneseConverted_ = false;
  bool readingDirective_ = false;
  TCharCollection stretch_;  // 8-bit text of the current text symbol, kept for its memory
};

// The value of a named entity (names are case-sensitive); false when unknown.
bool FindEntity(std::string_view name, uint32_t& value);
// Whether the document is ISO-2022-JP: a double-byte escape followed later by a single-byte one.
bool IsIso2022Jp(std::string_view document);
std::string Iso2022JpToShiftJis(std::string_view text);
// Keeps the length of the text, so offsets into it stay valid.
std::string EucJpToShiftJis(std::string_view text);

}  // namespace html
