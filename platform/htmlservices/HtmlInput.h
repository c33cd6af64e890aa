// Input state that the HTML engine reads outside of events.
#pragma once

namespace plat {

// True while the left mouse button is held down.
bool LeftMouseButtonDown();

}  // namespace plat
