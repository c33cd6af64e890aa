// Start-up of the windows suite: the application object and the platform's classes.
#include "support/WindowsEnvironment.h"
