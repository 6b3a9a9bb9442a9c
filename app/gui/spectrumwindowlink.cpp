#include "app/gui/spectrumwindowlink.h"

#include <QPointer>
#include <QTimer>

#include "app/mainwindow.h"
#include "app/orbitalcontrols.h"
#include "app/windowstate.h"
#include "spectrum/gui/spectrumview.h"

namespace vantrel {

namespace {

QPointer<SpectrumView> view;
bool levelPicking = true;  // no run is going

SpectrumLinks mainWindowLinks() {
    SpectrumLinks links;
    links.pickLevel = pickHydrogenLevel;
    // This window closes, the level window opens or follows the current state.
    links.openEnergyLevels = [] {
        if (const auto& open = mainWindow().compareEnergiesMenuItem.onClick) open();
    };
    return links;
}

}  // namespace

SpectrumView* openSpectrumView() { return view.data(); }

void installSpectrumWindow(QWidget* mainView) {
    QPointer<QWidget> owner(mainView);
    windowHooks().showSpectrum = [owner] {
        if (!view) {
            view = new SpectrumView(mainWindowLinks());
            view->setAttribute(Qt::WA_DeleteOnClose);
            view->setLevelPickingEnabled(levelPicking);
            if (owner) view->setWindowIcon(owner->windowIcon());
            QObject::connect(view, &SpectrumView::closed, [] { mainWindow().spectrumOpen = false; });
            view->show();
            view->placeBeside(owner);
            // The arrow keys walk the spectrum at once, not a list.
            view->diagram()->setFocus();
            // The frame is known once the window is on screen.
            QTimer::singleShot(0, view, [owner] {
                if (view) view->placeBeside(owner);
            });
        }
        view->show();
        view->raise();
        view->activateWindow();
    };
    windowHooks().closeSpectrum = [] {
        if (view) view->close();
    };
    windowHooks().enableSpectrum = [](bool enabled) {
        levelPicking = enabled;
        if (view) view->setLevelPickingEnabled(enabled);
    };
}

}  // namespace vantrel
