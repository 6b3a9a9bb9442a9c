#include "app/gui/spectrumwindowlink.h"

#include <QTimer>

#include "app/mainwindow.h"
#include "app/orbitalcontrols.h"
#include "app/windowstate.h"
#include "spectrum/gui/spectrumview.h"

namespace vantrel {

namespace {

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

SpectrumWindowLink::SpectrumWindowLink(QWidget* mainView) : mainView_(mainView) {
    WindowHooks& main = windowHooks();
    main.showSpectrum = [this] { show(); };
    main.closeSpectrum = [this] {
        if (view_) view_->close();
    };
    main.enableSpectrum = [this](bool enabled) { setLevelPicking(enabled); };
}

SpectrumWindowLink::~SpectrumWindowLink() {
    WindowHooks& main = windowHooks();
    main.showSpectrum = nullptr;
    main.closeSpectrum = nullptr;
    main.enableSpectrum = nullptr;
    delete view_.data();
}

SpectrumView* SpectrumWindowLink::openView() const { return view_.data(); }

void SpectrumWindowLink::show() {
    if (!view_) create();
    view_->show();
    view_->raise();
    view_->activateWindow();
}

void SpectrumWindowLink::create() {
    view_ = new SpectrumView(mainWindowLinks());
    view_->setAttribute(Qt::WA_DeleteOnClose);
    view_->setLevelPickingEnabled(levelPicking_);
    if (mainView_) view_->setWindowIcon(mainView_->windowIcon());
    QObject::connect(view_, &SpectrumView::closed, [] { mainWindow().spectrumOpen = false; });
    view_->show();
    view_->placeBeside(mainView_);
    // The arrow keys walk the spectrum at once, not a list.
    view_->diagram()->setFocus();
    // The frame is known once the window is on screen.
    QTimer::singleShot(0, view_, [this] {
        if (view_) view_->placeBeside(mainView_);
    });
}

void SpectrumWindowLink::setLevelPicking(bool enabled) {
    levelPicking_ = enabled;
    if (view_) view_->setLevelPickingEnabled(enabled);
}

}  // namespace vantrel
