#include "levels/gui/levelwindowlink.h"

#include "app/mainwindow.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "engine/platform.h"
#include "levels/gui/leveldiagramwindow.h"
#include "levels/leveldiagram.h"

namespace vantrel {

LevelWindowLink::LevelWindowLink(QWidget* mainWindow, std::function<void()> syncMainWindow)
    : window_(std::make_unique<LevelDiagramWindow>(levelDiagram())) {
    LevelDiagramWindow* w = window_.get();
    w->mainWindow = mainWindow;
    w->stateHandedOver = std::move(syncMainWindow);

    LevelDiagram& diagram = levelDiagram();
    diagram.hooks.setOrbital = [](int z, int n, int l, int m, bool autoscaleIt) { setorbital(z, n, l, m, autoscaleIt); };
    diagram.hooks.showSpectrum = [] {
        if (windowhooks().showspectrum) windowhooks().showspectrum();
    };

    WindowHooks& main = windowhooks();
    main.showlevels = [w] { w->open(); };
    main.closelevels = [w] { w->close(); };
    main.enablelevels = [w](bool enabled) {
        w->setDiagramEnabled(enabled);
        // A run, a load or a sequence may have changed the state meanwhile.
        const OrbitalState& o = globals().orbital;
        if (enabled && globals().levelsopen && w->isVisible()) {
            levelDiagram().setUp(o.currentz, o.currentn, o.currentl, o.currentm);
            w->sync();
        }
    };
    hooks().levelsetup = [w](int z, int n, int l, int m) {
        if (!w->isVisible()) return;
        levelDiagram().setUp(z, n, l, m);
        w->sync();
    };
}

LevelWindowLink::~LevelWindowLink() {
    WindowHooks& main = windowhooks();
    main.showlevels = nullptr;
    main.closelevels = nullptr;
    main.enablelevels = nullptr;
    hooks().levelsetup = nullptr;
    levelDiagram().hooks = LevelDiagramHooks{};
}

}  // namespace vantrel
