#include "html/PageUtils.h"

namespace html {}  // namespace html
