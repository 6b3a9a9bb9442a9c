#include "output/pages.h"
// STUB: to be written
namespace vantrel {
std::string createembed(const std::string&, const std::string&, const std::string&, const std::string&, const std::string&, const std::string&) { return ""; }
std::string createorbitalpage() { return ""; }
int openfile(const std::string&, int) { return 0; }
void displayclick() {}
namespace { int screentwips = 1280 * 15; }
int screenwidthtwips() { return screentwips; }
void setscreenwidthtwips(int t) { screentwips = t; }
}
