#include "levels/gui/levelwindowlink.h"

#include "app/mainwindow.h"
#include "app/windowstate.h"
#include "app/appstate.h"
#include "app/orbitalcontrols.h"
#include "output/platform.h"
#include "levels/gui/leveldiagramwindow.h"
#include "levels/leveldiagram.h"

namespace vantrel {

LevelWindowLink::LevelWindowLink(QWidget* mainView, std::function<void()> syncMainWindow)
    : window_(std::make_unique<LevelDiagramWindow>(levelDiagram())) {
    LevelDiagramWindow* w = window_.get();
    w->mainWindow = mainView;
    w->stateHandedOver = std::move(syncMainWindow);

    LevelDiagram& diagram = levelDiagram();
    diagram.hooks.setOrbital = [](int z, int n, int l, int m, bool autoscaleIt) { setOrbital(z, n, l, m, autoscaleIt); };
    diagram.hooks.showSpectrum = [] {
        if (windowHooks().showSpectrum) windowHooks().showSpectrum();
    };

    WindowHooks& main = windowHooks();
    main.showLevels = [w] { w->open(); };
    main.closeLevels = [w] { w->close(); };
    main.enableLevels = [w](bool enabled) {
        w->setDiagramEnabled(enabled);
        // A run, a load or a sequence may have changed the state meanwhile.
        const OrbitalState& o = globals().orbital;
        if (enabled && mainWindow().levelsOpen && w->isVisible()) {
            levelDiagram().setUp(o.currentZ, o.currentN, o.currentL, o.currentM);
            w->sync();
        }
    };
    hooks().levelSetup = [w](int z, int n, int l, int m) {
        if (!w->isVisible()) return;
        levelDiagram().setUp(z, n, l, m);
        w->sync();
    };
}

LevelWindowLink::~LevelWindowLink() {
    WindowHooks& main = windowHooks();
    main.showLevels = nullptr;
    main.closeLevels = nullptr;
    main.enableLevels = nullptr;
    hooks().levelSetup = nullptr;
    levelDiagram().hooks = LevelDiagramHooks{};
}

}  // namespace vantrel
