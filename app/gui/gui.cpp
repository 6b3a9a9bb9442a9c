#include "app/gui/gui.h"

#include <QApplication>

// STUB: to be written
namespace vantrel {

int rungui(QApplication&, const std::string&) { return 0; }

}  // namespace vantrel
