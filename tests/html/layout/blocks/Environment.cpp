// Every test of this group runs on the off-screen platform with the page engine started.
#include "support/HtmlEnvironment.h"
