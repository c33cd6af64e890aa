// The wait cursor for as long as a long operation runs, on every way out.
#pragma once

#include "platform/windows/Application.h"

namespace app {

class TWaitCursor {
 public:
  TWaitCursor() { plat::Screen().SetCursor(plat::crHourGlass); }
  ~TWaitCursor() { plat::Screen().SetCursor(plat::crDefault); }
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

}  // namespace app
