// The drag of a control inside the program (layer-internal): one at a time, followed from
// BeginDrag until the button goes up, Esc, or EndDrag.
#pragma once

#include "platform/windows/Controls.h"

namespace plat {

class TDragTracker;

// A control going away: a drag from it ends without a word, a drag over it forgets it.
void ForgetDragControl(const TControl& control);

}  // namespace plat
