#include "app/mainwindow.h"
// STUB: to be written
namespace vantrel {
void installreactions() {}
void enablecontrols(bool) {}
void selectall(Control&) {}
bool initglobals() { return false; }
bool loadform() { return false; }
void afterShow(const std::string&) {}
bool nlmkeyenter(int) { return false; }
void escapepressed() {}
void formactivated() {}
}
