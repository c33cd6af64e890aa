// The end of a link, recorded in the font runs that carry it.
#include "html/base/PageUtils.h"
#include "html/layout/text/FontRuns.h"

namespace html {

void TUrlTarget::SetLast(TFontList& fontRuns, int32_t last) {
  utText->Last = last;
  for (int i = fontRuns.Count() - 1; i >= 0; --i) {
    TUrlTarget* link = fontRuns[i]->Link();
    if (!link || link->ID != ID) break;
    link->utText->Last = last;
  }
}

}  // namespace html
