// Ties the level diagram window to the main window: the menu item opens it,
// the main window's changes reach the diagram, a pick becomes the main
// window's orbital, and runs disable it. One link for the program's life.
#pragma once

#include <functional>
#include <memory>

class QWidget;

namespace vantrel {

class LevelDiagramWindow;

class LevelWindowLink {
public:
    // syncMainWindow brings the main window's widgets up to date after the
    // diagram handed it a state.
    LevelWindowLink(QWidget* mainView, std::function<void()> syncMainWindow);
    ~LevelWindowLink();
    LevelWindowLink(const LevelWindowLink&) = delete;
    LevelWindowLink& operator=(const LevelWindowLink&) = delete;

    LevelDiagramWindow& window() { return *window_; }

private:
    std::unique_ptr<LevelDiagramWindow> window_;
};

}  // namespace vantrel
