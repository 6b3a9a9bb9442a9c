#include "output/pages.h"
// STUB: to be written
namespace vantrel {
void createhtmlindex(const std::string&, const std::string&, const std::string&) {}
}
