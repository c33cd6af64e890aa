// Pictures in text: IMG.
#include "html/DocumentBuilderState.h"

namespace html {

void THtmlBuilder::DoImage() {}

}  // namespace html
