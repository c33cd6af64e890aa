// Every test of this group runs on the off-screen platform.
#include "support/QtEnvironment.h"
