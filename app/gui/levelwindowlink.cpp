#include "app/gui/levelwindowlink.h"

#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/orbitalcontrols.h"
#include "app/platformhooks.h"
#include "app/windowstate.h"
#include "levels/gui/leveldiagramwindow.h"

namespace vantrel {

LevelWindowLink::LevelWindowLink(QWidget* mainView, std::function<void()> syncMainWindow)
    : window_(std::make_unique<LevelDiagramWindow>(diagram_, dialogs())) {
    window_->mainWindow = mainView;
    window_->stateHandedOver = std::move(syncMainWindow);
    connectDiagram();
    connectMainWindow();
}

void LevelWindowLink::connectDiagram() {
    LevelDiagramHooks& h = diagram_.hooks;
    h.mainOrbital = [] { return globals().orbital.numbers(); };
    h.setOrbital = [](const OrbitalNumbers& o) { setOrbital(o.z, o.n, o.l, o.m, false); };
    h.dropCloud = [] { globals().run.nPoints = 0; };
    h.closed = [] { mainWindow().levelsOpen = false; };
    h.showSpectrum = [] {
        mainWindow().spectrumOpen = true;
        if (windowHooks().showSpectrum) windowHooks().showSpectrum();
    };
}

void LevelWindowLink::connectMainWindow() {
    LevelDiagramWindow* w = window_.get();
    WindowHooks& main = windowHooks();
    main.showLevels = [w] { w->open(); };
    main.closeLevels = [w] { w->close(); };
    main.enableLevels = [this, w](bool enabled) {
        w->setDiagramEnabled(enabled);
        // A run, a load or a sequence may have changed the state meanwhile.
        if (enabled && mainWindow().levelsOpen) follow(globals().orbital.numbers());
    };
    main.levelsFollow = [this](const OrbitalNumbers& o) { follow(o); };
}

void LevelWindowLink::follow(const OrbitalNumbers& o) {
    if (!window_->isVisible()) return;
    diagram_.setUp(o.z, o.n, o.l, o.m);
    window_->sync();
}

LevelWindowLink::~LevelWindowLink() {
    WindowHooks& main = windowHooks();
    main.showLevels = nullptr;
    main.closeLevels = nullptr;
    main.enableLevels = nullptr;
    main.levelsFollow = nullptr;
}

}  // namespace vantrel
