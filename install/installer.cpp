#include "install/installer.h"

namespace vantrel {

// The help pages ship beside the program; nothing is carried inside it yet.
void runInstaller() {}

}  // namespace vantrel
