// The keys a desktop user tries first on the main window: F1 for the help,
// Ctrl+Q to quit, Ctrl+O to load; Ctrl+S saves the picture (pictureexport.h).
#pragma once

class QAbstractButton;
class QAction;
class QWidget;

namespace vantrel {

void installDesktopKeys(QWidget* window, QAction* help, QAction* exit, QAbstractButton* load);

}  // namespace vantrel
