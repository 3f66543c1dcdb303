#include "OpenFileLimit.h"

namespace rinvo {

// Windows bounds handles by memory alone, and the walk keeps no handle open per folder.
void raiseOpenFileLimit()
{ }

} // namespace rinvo
