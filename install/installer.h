// Help files carried inside the program file.
#pragma once

namespace vantrel {

void runInstaller();

}  // namespace vantrel
