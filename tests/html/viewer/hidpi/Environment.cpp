// The page engine started on a screen at 200 % (set by the test runner).
#include "support/HtmlEnvironment.h"
