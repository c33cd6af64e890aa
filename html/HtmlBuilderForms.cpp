// Form controls in text: INPUT, TEXTAREA and SELECT.
#include "html/DocumentBuilderState.h"

namespace html {

void THtmlBuilder::DoInput() {}

void THtmlBuilder::DoTextArea() {
  SkipRawBody("</textarea");
}

// Forms are not built: the options are read past so their text does not show.
void THtmlBuilder::DoSelect() {
  static const TSymbolSet kSelectEnds{PSy,          EofSy,   TableEndSy,  TDSy,    TDEndSy,
                                      THSy,         THEndSy, TRSy,        TREndSy, CaptionSy,
                                      CaptionEndSy, InputSy, SelectEndSy, ColSy,   ColGroupSy};
  Next();
  while (!kSelectEnds.Has(Sy())) Next();
  if (Sy() == SelectEndSy) Next();
}

}  // namespace html
