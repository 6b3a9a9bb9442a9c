// Building the main window's widgets: the menus and the three frames of
// controls, each bound to its control of the window state.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

#include "app/gui/controlwidgets.h"
#include "app/gui/mainwindowview.h"
#include "app/session.h"
#include "app/gui/orbitalviewpanel.h"
#include "cloudview/gui/cloudviewwidget.h"
#include "app/windowstate.h"
#include "app/appstate.h"
#include "app/platformhooks.h"

namespace vantrel {

void MainWindowView::buildMenus() {
    MainWindowState& f = session_.window;
    auto addMenu = [this](Control& c) {
        QMenu* m = menuBar()->addMenu(qs(c.caption));
        Binding& b = bind(c, nullptr, m->menuAction());
        b.menu = m;
        return m;
    };
    auto addItem = [this](QMenu* m, Control& c, bool checkable) {
        QAction* a = m->addAction(qs(c.caption));
        a->setCheckable(checkable);
        bind(c, nullptr, a);
    };
    QMenu* file = addMenu(f.fileMenu);
    for (Control* c : {&f.cacheNewMenuItem, &f.cacheClearMenuItem}) addItem(file, *c, false);
    file->addSeparator();
    for (Control* c : {&f.compareEnergiesMenuItem, &f.spectrumMenuItem}) addItem(file, *c, false);
    file->addSeparator();
    addItem(file, f.exitMenuItem, false);

    QMenu* type = addMenu(f.typeMenu);
    for (int i = 0; i < 9; ++i) {
        if (i == 4 || i == 5) type->addSeparator();
        addItem(type, f.speciesMenuItems[i], i < 5);
    }
    QMenu* options = addMenu(f.optionsMenu);
    addItem(options, f.autoscaleMenuItem, true);
    addItem(options, f.quickMenuItem, true);
    QMenu* help = addMenu(f.helpMenu);
    for (int i = 0; i < 5; ++i) {
        if (i == 3) help->addSeparator();
        addItem(help, f.helpMenuItems[i], false);
    }
}

void MainWindowView::buildOrbitalView() {
    constexpr int viewMinimum = 160;
    MainWindowState& f = session_.window;
    OrbitalViewActions actions;
    actions.subject = [this] {
        const OrbitalState& o = session_.orbital;
        return ExportSubject{session_.wavefunction, o.extent, o.csvFile, session_.window.orbitalView.view};
    };
    actions.fileStem = [this] {
        const std::string& xyz = session_.orbital.xyzFile;
        const std::string name = xyz.substr(xyz.rfind('/') + 1);
        return name.substr(0, name.size() - 4);
    };
    actions.warn = [this](const std::string& text) { session_.dialogs->messageBox(text, Buttons::OK); };
    actions.keepResponsive = [this] { processEvents(session_); };
    // A change of the window's width goes to the view; the controls and
    // the plot keep theirs until the view is at its smallest, then scroll.
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    auto* controls = static_cast<QScrollArea*>(takeCentralWidget());  // the controls' scroll area
    splitter->addWidget(controls);
    viewPanel_ = new OrbitalViewPanel(f.orbitalView, actions, splitter);
    viewPanel_->setMinimumSize(viewMinimum, viewMinimum);
    splitter->addWidget(viewPanel_);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({controls->sizeHint().width(), viewPanel_->sizeHint().width()});
    setCentralWidget(splitter);

    // The view's own menu sets the same options as the window's boxes.
    connect(viewPanel_->cloudView(), &CloudViewWidget::stateChanged, this, [this] {
        act([this] {
            MainWindowState& w = session_.window;
            const CloudViewState v = w.orbitalView.view;  // each box's reaction mirrors them all back
            w.blackBackgroundCheck.setChecked(v.blackBackground);
            w.jmolBoundingBoxCheck.setChecked(v.box);
            Control& colour = w.colourModeOptions[v.colouring == CloudColouring::probability ? 0 : 1];
            if (!colour.checked) colour.click();
        });
    });

    auto* menu = new QMenu("3-&D View", this);
    menuBar()->insertMenu(menuFor(f.helpMenu)->menuAction(), menu);
    viewPanel_->fillMenu(menu);
}

QWidget* MainWindowView::buildCalculationFrame() {
    MainWindowState& f = session_.window;
    auto* frame = new QGroupBox(this);
    bind(f.calculationFrame, frame);
    auto* grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);

    auto label = [this](Control& c, QWidget* parent) { return makeLabel(c, parent); };
    auto clickLabel = [this](Control& c, QWidget* parent) {
        auto* l = new ClickLabel(parent);
        l->setTextFormat(Qt::PlainText);
        l->setCursor(Qt::PointingHandCursor);
        QFont link = l->font();
        link.setUnderline(true);
        l->setFont(link);
        bind(c, l);
        return l;
    };
    auto edit = [this](Control& c, QWidget* parent, int width) {
        auto* e = new QLineEdit(parent);
        e->setFixedWidth(width);
        e->setAlignment(Qt::AlignRight);
        bind(c, e);
        return e;
    };
    auto spin = [this](Control& c, QWidget* parent) {
        auto* s = new SpinArrows(parent);
        bind(c, s);
        return s;
    };

    // n, l and m side by side, each with its spinner.
    auto* nlm = new QHBoxLayout;
    Control* names[3] = {&f.nLabel, &f.lLabel, &f.mLabel};
    for (int i = 0; i < 3; ++i) {
        QLabel* l = label(*names[i], frame);
        QFont it = l->font();
        it.setItalic(true);
        it.setBold(true);
        l->setFont(it);
        nlm->addWidget(l);
        QLineEdit* e = edit(f.quantumText[i], frame, 44);
        l->setBuddy(e);
        nlm->addWidget(e);
        nlm->addWidget(spin(f.quantumSpinners[i], frame));
        if (i < 2) nlm->addSpacing(14);
    }
    nlm->addStretch(1);
    grid->addLayout(nlm, 0, 0, 1, 2);

    grid->addWidget(label(f.extentLabel, frame), 1, 0);
    auto* extent = new QHBoxLayout;
    extent->addWidget(edit(f.extentText, frame, 60));
    extent->addWidget(spin(f.extentSpinner, frame));
    extent->addWidget(clickLabel(f.tooSmallLabel, frame));
    extent->addWidget(clickLabel(f.tooLargeLabel, frame));
    extent->addStretch(1);
    grid->addLayout(extent, 1, 1);

    grid->addWidget(label(f.maxPointsLabel, frame), 2, 0);
    auto* points = new QHBoxLayout;
    points->addWidget(edit(f.maxPointsText, frame, 80));
    points->addWidget(spin(f.maxPointsSpinner, frame));
    points->addStretch(1);
    grid->addLayout(points, 2, 1);

    grid->addWidget(label(f.regionLabel, frame), 3, 0, Qt::AlignTop);
    auto* regions = new QGridLayout;
    regions->setVerticalSpacing(2);
    const int cell[4][2] = {{0, 0}, {0, 1}, {1, 0}, {1, 1}};
    for (int i = 0; i < 4; ++i) {
        auto* r = new QRadioButton(qs(f.regionOptions[i].caption), frame);
        r->setAutoExclusive(false);
        bind(f.regionOptions[i], r);
        regions->addWidget(r, cell[i][0], cell[i][1]);
    }
    grid->addLayout(regions, 3, 1);

    grid->addWidget(label(f.energyLabel, frame), 4, 0);
    auto* energy = new QHBoxLayout;
    for (int i : {1, 0}) {
        ClickLabel* l = clickLabel(f.energyValueLabels[i], frame);
        l->setToolTip(i == 1 ? tr("Energies in joules") : tr("Energies in attojoules"));
        energy->addWidget(l);
        energy->addSpacing(12);
    }
    energy->addStretch(1);
    ClickLabel* quick = clickLabel(f.quickLabel, frame);
    quick->setToolTip(tr("Quicker calculation is on; click to turn it off"));
    energy->addWidget(quick);
    grid->addLayout(energy, 4, 1);
    grid->setColumnStretch(1, 1);
    return frame;
}

QWidget* MainWindowView::buildPlotOptions() {
    MainWindowState& f = session_.window;
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);

    auto* theory = new QGroupBox(box);
    bind(f.radialPlotFrame, theory);
    auto* tl = new QGridLayout(theory);
    for (int i = 0; i < 2; ++i) {
        auto* r = new QRadioButton(qs(f.plotModeOptions[i].caption), theory);
        r->setAutoExclusive(false);
        bind(f.plotModeOptions[i], r);
        tl->addWidget(r, i, 0);
    }
    for (int i = 0; i < 3; ++i) {
        auto* icon = new PlotIcon(i, theory);
        bind(f.plotIcons[i], icon);
        tl->addWidget(icon, 0, 1, 2, 1, Qt::AlignCenter);
    }
    row->addWidget(theory, 3);

    auto* color = new QGroupBox(box);
    bind(f.colourFrame, color);
    auto* cl = new QVBoxLayout(color);
    cl->addWidget(makeLabel(f.colourLabel, color));
    auto* options = new QHBoxLayout;
    for (int i = 0; i < 2; ++i) {
        auto* r = new QRadioButton(qs(f.colourModeOptions[i].caption), color);
        r->setAutoExclusive(false);
        bind(f.colourModeOptions[i], r);
        options->addWidget(r);
    }
    cl->addLayout(options);
    row->addWidget(color, 2);
    return box;
}

QWidget* MainWindowView::buildDisplayFrame() {
    MainWindowState& f = session_.window;
    auto* frame = new QGroupBox(this);
    bind(f.displayFrame, frame);
    auto* col = new QVBoxLayout(frame);
    col->setSpacing(3);
    for (Control* c : {&f.useJmolCheck, &f.energyChecks[1], &f.energyChecks[0], &f.fullScreenCheck, &f.blackBackgroundCheck, &f.fourPanelCheck,
                       &f.startRotationCheck, &f.firstQuadrantCheck, &f.smallerDotsCheck}) {
        auto* b = new QCheckBox(qs(c->caption), frame);
        bind(*c, b);
        col->addWidget(b);
    }
    auto* jmol = new QGroupBox(frame);
    bind(f.jmolFrame, jmol);
    auto* jl = new QVBoxLayout(jmol);
    for (Control* c : {&f.jmolAxesCheck, &f.jmolBoundingBoxCheck}) {
        auto* b = new QCheckBox(qs(c->caption), jmol);
        bind(*c, b);
        jl->addWidget(b);
    }
    col->addWidget(jmol);
    col->addStretch(1);
    return frame;
}

}  // namespace vantrel
