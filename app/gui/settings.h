// The main window's options, size and place kept between interactive
// starts. Headless runs never come here, so their results stay the same
// whatever a user last chose.
#pragma once

#include <QSize>
#include <QString>

#include <map>
#include <string>

class QAction;

namespace vantrel {

class MainWindowView;
struct Session;

// What the user can set in the window that is worth keeping.
struct WindowOptions {
    std::map<std::string, bool> checks;  // by control name
    int region = 0, colourMode = 0, plotMode = 1;
    bool quick = false, autoscale = false;
    std::string extent, maxPoints;
    int z = 1;

    bool operator==(const WindowOptions&) const = default;

    static WindowOptions fromSession(Session& s);
    // Through the controls, so the window reacts as to a user's choices.
    void apply(Session& s, bool withPlotMode = true) const;
};

// ~/.config/Vantrel/Vantrel.conf (follows XDG_CONFIG_HOME).
QString settingsPath();

class WindowSettings {
public:
    // Takes the window as it is now (after the start-up steps) as its
    // defaults, and adds the menu item that goes back to them.
    explicit WindowSettings(MainWindowView& view);

    // The saved options and geometry; true when a saved place was restored
    // (the window then stays where the user left it).
    bool restore();
    // The plot mode last: the start-up steps choose one of their own.
    void restorePlotMode();
    void save();
    // Forgets the saved settings; the window goes back to its first start.
    void restoreDefaults();

    QAction* restoreDefaultsAction() const { return action_; }

private:
    MainWindowView& view_;
    WindowOptions defaults_;
    QSize defaultSize_;
    QAction* action_ = nullptr;
    int savedPlotMode_ = -1;
    bool cleared_ = false;  // nothing is saved until the next start
};

}  // namespace vantrel
