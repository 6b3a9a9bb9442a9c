#include "app/gui/settings.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>

#include "app/gui/mainwindowview.h"
#include "app/orbitalcontrols.h"
#include "app/windowstate.h"
#include "app/appstate.h"
#include "app/ignoringerrors.h"
#include "app/session.h"

namespace vantrel {
namespace {

std::vector<Control*> checkBoxes(MainWindowState& f) {
    return {&f.useJmolCheck,      &f.energyChecks[0],      &f.energyChecks[1],    &f.fullScreenCheck,
            &f.blackBackgroundCheck, &f.fourPanelCheck,   &f.startRotationCheck, &f.firstQuadrantCheck,
            &f.smallerDotsCheck,  &f.jmolAxesCheck,        &f.jmolBoundingBoxCheck};
}

template <std::size_t N>
int checkedIndex(const std::array<Control, N>& options) {
    for (std::size_t i = 0; i < N; ++i)
        if (options[i].checked) return static_cast<int>(i);
    return 0;
}

// Odd values in the file (edited by hand, an older version) fall back to
// the window's own.
int inRange(const QVariant& v, int lo, int hi, int fallback) {
    bool ok = false;
    const int i = v.toInt(&ok);
    return ok && i >= lo && i <= hi ? i : fallback;
}

QString text(const std::string& s) { return QString::fromStdString(s); }

std::string numberOr(const QVariant& v, const std::string& fallback) {
    bool ok = false;
    const QString number = v.toString().trimmed();
    number.toDouble(&ok);
    return ok ? number.toStdString() : fallback;
}

}  // namespace

QString settingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Vantrel/Vantrel.conf";
}

WindowOptions WindowOptions::fromSession(Session& s) {
    auto& f = s.window;
    WindowOptions o;
    for (Control* c : checkBoxes(f)) o.checks[c->name] = c->checked;
    o.region = checkedIndex(f.regionOptions);
    o.colourMode = checkedIndex(f.colourModeOptions);
    o.plotMode = f.plotModeOptions[0].checked ? 0 : 1;
    o.quick = f.quickMenuItem.checked;
    o.autoscale = f.autoscaleMenuItem.checked;
    o.extent = f.extentText.text;
    o.maxPoints = f.maxPointsText.text;
    o.z = s.orbital.currentZ;
    return o;
}

void WindowOptions::apply(Session& s, bool withPlotMode) const {
    auto& f = s.window;
    for (Control* c : checkBoxes(f)) {
        auto it = checks.find(c->name);
        if (it != checks.end()) ignoringErrors([&] { c->setChecked(it->second); });
    }
    ignoringErrors([&] { f.regionOptions[region].select(); });
    ignoringErrors([&] { f.colourModeOptions[colourMode].select(); });
    if (z != s.orbital.currentZ) ignoringErrors([&] { setNucleus(s, z); });
    // Autoscale off while the extent is set, or it would be rescaled at once.
    f.autoscaleMenuItem.checked = false;
    for (Control* box : {&f.extentText, &f.maxPointsText}) {
        const std::string& value = box == &f.extentText ? extent : maxPoints;
        if (value.empty()) continue;
        ignoringErrors([&] {
            box->setText(value);
            if (box->onEditingFinished) box->onEditingFinished();
        });
    }
    f.typingExtent = false;
    f.autoscaleMenuItem.checked = autoscale;
    f.quickMenuItem.checked = quick;
    ignoringErrors([&s] { updateOrbital(s, true); });
    if (withPlotMode) ignoringErrors([&] { f.plotModeOptions[plotMode].select(); });
}

WindowSettings::WindowSettings(MainWindowView& view)
    : view_(view), defaults_(WindowOptions::fromSession(view.session())), defaultSize_(view.size()) {
    if (QMenu* options = view.menuFor(view.session().window.optionsMenu)) {
        options->addSeparator();
        action_ = options->addAction("Restore Default Settings");
        action_->setObjectName("restoreDefaultsAction");
        QObject::connect(action_, &QAction::triggered, &view, [this] { restoreDefaults(); });
    }
}

bool WindowSettings::restore() {
    if (!QFile::exists(settingsPath())) return false;
    QSettings s(settingsPath(), QSettings::IniFormat);
    WindowOptions o = defaults_;
    s.beginGroup("options");
    for (auto& [name, on] : o.checks) {
        const QVariant v = s.value(text(name));
        if (v.isValid()) on = v.toBool();
    }
    o.region = inRange(s.value("region"), 0, 3, o.region);
    o.colourMode = inRange(s.value("colourMode"), 0, 1, o.colourMode);
    savedPlotMode_ = inRange(s.value("plotMode"), 0, 1, -1);
    o.quick = s.value("quick", o.quick).toBool();
    o.autoscale = s.value("autoscale", o.autoscale).toBool();
    o.extent = numberOr(s.value("extent"), o.extent);
    o.maxPoints = numberOr(s.value("maxPoints"), o.maxPoints);
    o.z = inRange(s.value("z"), 1, 120, o.z);
    s.endGroup();
    o.apply(view_.session(), false);
    view_.syncAll();
    return view_.restoreGeometry(s.value("window/geometry").toByteArray());
}

void WindowSettings::restorePlotMode() {
    if (savedPlotMode_ < 0) return;
    ignoringErrors([this] { view_.session().window.plotModeOptions[savedPlotMode_].select(); });
    view_.syncAll();
}

void WindowSettings::save() {
    if (cleared_) return;
    const WindowOptions o = WindowOptions::fromSession(view_.session());
    QSettings s(settingsPath(), QSettings::IniFormat);
    s.beginGroup("options");
    for (const auto& [name, on] : o.checks) s.setValue(text(name), on);
    s.setValue("region", o.region);
    s.setValue("colourMode", o.colourMode);
    s.setValue("plotMode", o.plotMode);
    s.setValue("quick", o.quick);
    s.setValue("autoscale", o.autoscale);
    s.setValue("extent", text(o.extent));
    s.setValue("maxPoints", text(o.maxPoints));
    s.setValue("z", o.z);
    s.endGroup();
    s.setValue("window/geometry", view_.saveGeometry());
}

void WindowSettings::restoreDefaults() {
    QFile::remove(settingsPath());
    cleared_ = true;
    defaults_.apply(view_.session());
    view_.syncAll();
    if (view_.isMaximized() || view_.isFullScreen()) view_.showNormal();
    view_.resize(defaultSize_);
    view_.placeAtRightEdge();
}

}  // namespace vantrel
