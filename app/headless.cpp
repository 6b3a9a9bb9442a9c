#include "app/headless.h"

#include <iostream>

// STUB: to be written
namespace vantrel {

int runheadless(const std::string&) {
    std::cout << "usage: vantrel [CLEAR] [SEQUENCE-FILE]" << std::endl;
    return 0;
}

}  // namespace vantrel
