// Start-up of the suite, in program order.
#include "support/EditorEnvironment.h"
