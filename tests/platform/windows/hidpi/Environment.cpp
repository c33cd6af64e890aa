// Start-up of the suite on a screen at 200 % (set by the test runner): the application object.
#include "support/WindowsEnvironment.h"
