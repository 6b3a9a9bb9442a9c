#include "app/gui/levelwindowlink.h"

#include "app/orbitalcontrols.h"
#include "app/platformhooks.h"
#include "app/session.h"
#include "levels/gui/leveldiagramwindow.h"

namespace vantrel {

LevelWindowLink::LevelWindowLink(Session& s, QWidget* mainView, std::function<void()> syncMainWindow)
    : session_(s), window_(std::make_unique<LevelDiagramWindow>(diagram_, *s.dialogs)) {
    window_->mainWindow = mainView;
    window_->stateHandedOver = std::move(syncMainWindow);
    connectDiagram();
    connectMainWindow();
}

void LevelWindowLink::connectDiagram() {
    LevelDiagramHooks& h = diagram_.hooks;
    Session& s = session_;
    h.mainOrbital = [&s] { return s.orbital.numbers(); };
    h.setOrbital = [&s](const OrbitalNumbers& o) { setOrbital(s, o.z, o.n, o.l, o.m, false); };
    h.dropCloud = [&s] { s.run.nPoints = 0; };
    h.closed = [&s] { s.window.levelsOpen = false; };
    h.showSpectrum = [&s] {
        s.window.spectrumOpen = true;
        if (s.windowHooks.showSpectrum) s.windowHooks.showSpectrum();
    };
}

void LevelWindowLink::connectMainWindow() {
    LevelDiagramWindow* w = window_.get();
    WindowHooks& main = session_.windowHooks;
    main.showLevels = [w] { w->open(); };
    main.closeLevels = [w] { w->close(); };
    main.enableLevels = [this, w](bool enabled) {
        w->setDiagramEnabled(enabled);
        // A run, a load or a sequence may have changed the state meanwhile.
        if (enabled && session_.window.levelsOpen) follow(session_.orbital.numbers());
    };
    main.levelsFollow = [this](const OrbitalNumbers& o) { follow(o); };
}

void LevelWindowLink::follow(const OrbitalNumbers& o) {
    if (!window_->isVisible()) return;
    diagram_.setUp(o.z, o.n, o.l, o.m);
    window_->sync();
}

LevelWindowLink::~LevelWindowLink() {
    WindowHooks& main = session_.windowHooks;
    main.showLevels = nullptr;
    main.closeLevels = nullptr;
    main.enableLevels = nullptr;
    main.levelsFollow = nullptr;
}

}  // namespace vantrel
