// Host panels in text: PANEL and OBJECT.
#include "html/DocumentBuilderState.h"

namespace html {

void THtmlBuilder::DoPanel() {}

}  // namespace html
