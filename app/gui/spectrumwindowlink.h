// Opens and closes the emission spectrum window for the main window: the
// window is built afresh at each opening and destroyed when it closes. A
// level clicked in it becomes the main window's n; its "Energy Levels"
// link does what the main window's "&Energy Level Diagram" does.
#pragma once

class QWidget;

namespace vantrel {

class SpectrumView;

// Installs the main window's hooks that show and close the window.
void installSpectrumWindow(QWidget* mainView);
// The open window, or nullptr.
SpectrumView* openSpectrumView();

}  // namespace vantrel
