// The Help menu's About box on screen: the program's icon, version,
// licence and libraries, centred on the main window.
#pragma once

class QWidget;

namespace vantrel {

struct Session;

// Installs the main window's hook that shows the box.
void installAboutBox(Session& s, QWidget* mainView);

}  // namespace vantrel
