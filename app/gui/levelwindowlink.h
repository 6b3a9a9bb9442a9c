// Ties the level diagram window to the main window: the menu item opens it,
// the main window's changes reach the diagram, a pick becomes the main
// window's orbital, and runs disable it. One link for the program's life.
#pragma once

#include <functional>
#include <memory>

#include "levels/leveldiagram.h"

class QWidget;

namespace vantrel {

class LevelDiagramWindow;
struct Session;

class LevelWindowLink {
public:
    // syncMainWindow brings the main window's widgets up to date after the
    // diagram handed it a state.
    LevelWindowLink(Session& s, QWidget* mainView, std::function<void()> syncMainWindow);
    ~LevelWindowLink();
    LevelWindowLink(const LevelWindowLink&) = delete;
    LevelWindowLink& operator=(const LevelWindowLink&) = delete;

    LevelDiagramWindow& window() { return *window_; }
    LevelDiagram& diagram() { return diagram_; }

private:
    void connectDiagram();
    void connectMainWindow();
    // The diagram follows the main window's orbital while the window shows.
    void follow(const OrbitalNumbers& orbital);

    Session& session_;
    LevelDiagram diagram_;
    std::unique_ptr<LevelDiagramWindow> window_;
};

}  // namespace vantrel
