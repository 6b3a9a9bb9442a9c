#include "app/gui/spectrumwindowlink.h"

#include <QTimer>

#include "app/orbitalcontrols.h"
#include "app/session.h"
#include "spectrum/gui/spectrumview.h"

namespace vantrel {

namespace {

SpectrumLinks mainWindowLinks(Session& s) {
    SpectrumLinks links;
    links.pickLevel = [&s](int n) { pickHydrogenLevel(s, n); };
    // This window closes, the level window opens or follows the current state.
    links.openEnergyLevels = [&s] {
        if (const auto& open = s.window.compareEnergiesMenuItem.onClick) open();
    };
    return links;
}

}  // namespace

SpectrumWindowLink::SpectrumWindowLink(Session& s, QWidget* mainView) : session_(s), mainView_(mainView) {
    WindowHooks& main = s.windowHooks;
    main.showSpectrum = [this] { show(); };
    main.closeSpectrum = [this] {
        if (view_) view_->close();
    };
    main.enableSpectrum = [this](bool enabled) { setLevelPicking(enabled); };
}

SpectrumWindowLink::~SpectrumWindowLink() {
    WindowHooks& main = session_.windowHooks;
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
    view_ = new SpectrumView(mainWindowLinks(session_));
    view_->setAttribute(Qt::WA_DeleteOnClose);
    view_->setLevelPickingEnabled(levelPicking_);
    if (mainView_) view_->setWindowIcon(mainView_->windowIcon());
    QObject::connect(view_, &SpectrumView::closed, [this] { session_.window.spectrumOpen = false; });
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
