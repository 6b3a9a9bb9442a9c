#include "app/gui/mainwindowview.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <exception>

#include "app/gui/radialplotwidget.h"
#include "app/mainwindow.h"
#include "engine/formstate.h"
#include "engine/globals.h"
#include "engine/platform.h"

namespace vantrel {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

// Label captions may hold CR LF line breaks; one at the end would only
// push the next label down.
QString labelText(const std::string& s) {
    QString t = qs(s);
    t.remove(QLatin1Char('\r'));
    while (t.endsWith(QLatin1Char('\n'))) t.chop(1);
    return t;
}

QColor qColor(std::uint32_t bgr) { return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF); }

// A label that can be clicked.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) emit clicked();
        QLabel::mouseReleaseEvent(e);
    }
};

// The small spin arrows beside a text box: left steps down, right steps up,
// as the arrows of a scroll bar do.
class SpinArrows : public QWidget {
    Q_OBJECT
public:
    explicit SpinArrows(QWidget* parent = nullptr) : QWidget(parent) {
        setFocusPolicy(Qt::StrongFocus);
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(0);
        down = makeArrow(Qt::LeftArrow, -1);
        up = makeArrow(Qt::RightArrow, 1);
        row->addWidget(down);
        row->addWidget(up);
    }
    QToolButton* down = nullptr;
    QToolButton* up = nullptr;
signals:
    void stepped(int delta);

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Left || e->key() == Qt::Key_Down) emit stepped(-1);
        else if (e->key() == Qt::Key_Right || e->key() == Qt::Key_Up) emit stepped(1);
        else QWidget::keyPressEvent(e);
    }

private:
    QToolButton* makeArrow(Qt::ArrowType arrow, int delta) {
        auto* b = new QToolButton(this);
        b->setArrowType(arrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedSize(18, 22);
        connect(b, &QToolButton::clicked, this, [this, delta] { emit stepped(delta); });
        return b;
    }
};

// The three small pictures of the plot options: sampled hits, the
// theoretical curve over spherical shells, and over circles in a plane.
class PlotIcon : public QWidget {
public:
    PlotIcon(int kind, QWidget* parent) : QWidget(parent), kind_(kind) { setFixedSize(44, 34); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), Qt::white);
        p.setPen(QColor(160, 160, 160));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
        const double base = height() - 5;
        if (kind_ == 0) {
            p.setPen(QPen(QColor(0, 0, 255), 2));
            const int bars[] = {4, 12, 20, 23, 19, 14, 9, 6, 3};
            for (int i = 0; i < 9; ++i) p.drawLine(QPointF(6 + 4 * i, base), QPointF(6 + 4 * i, base - bars[i]));
            return;
        }
        QPainterPath curve;
        curve.moveTo(4, base);
        curve.cubicTo(12, base - 40, 20, base - 18, 40, base - 2);
        p.setPen(QPen(QColor(0, 0, 255), 1.5));
        p.drawPath(curve);
        p.setPen(QPen(QColor(255, 0, 0), 1));
        if (kind_ == 1) p.drawEllipse(QPointF(33, 10), 7, 7);
        else p.drawEllipse(QPointF(33, 10), 8, 3.5);
    }

private:
    int kind_;
};

}  // namespace

struct MainWindowView::Binding {
    Control* c = nullptr;
    QWidget* w = nullptr;
    QAction* a = nullptr;
    QMenu* menu = nullptr;
    // What the widget shows now, as last written (saves text conversions).
    std::string caption, text;
    std::uint32_t color = 0;
    bool bold = false;
    bool enabled = true;
    bool fresh = true;
};

MainWindowView::MainWindowView(QWidget* parent) : QMainWindow(parent) {
    MainWindowState& f = mainWindow();
    bindings_.clear();
    auto* central = new QWidget(this);
    setCentralWidget(central);
    bind(f.window, static_cast<QWidget*>(this));
    buildMenus();

    // Left: the calculation and plot options with the warnings under them;
    // right: the page options, the buttons and the run's count.
    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(buildCalculationFrame());
    left->addWidget(buildPlotOptions());
    for (Control* c : {&f.errorLabel, &f.nodeLabel, &f.planeLabel}) {
        QLabel* l = makeLabel(*c, central);
        l->setWordWrap(true);
        left->addWidget(l);
    }
    left->addStretch(1);
    top->addLayout(left, 3);
    auto* right = new QVBoxLayout;
    right->addWidget(buildDisplayFrame());
    auto* buttons = new QHBoxLayout;
    for (Control* c : {&f.calculateButton, &f.loadButton, &f.displayButton}) {
        auto* b = new QPushButton(qs(c->caption), central);
        b->setMinimumWidth(92);
        b->setAutoDefault(false);
        bind(*c, b);
        buttons->addWidget(b);
    }
    right->addLayout(buttons);
    QLabel* count = makeLabel(f.pointCountLabel, central);
    count->setAlignment(Qt::AlignCenter);
    QFont countFont = count->font();
    countFont.setPointSizeF(countFont.pointSizeF() * 1.15);
    count->setFont(countFont);
    right->addWidget(count);
    right->addStretch(1);
    top->addLayout(right, 2);

    plot_ = new RadialPlotWidget(central);
    plot_->setMinimumHeight(200);
    bind(f.radialPlot, plot_);

    auto* results = new QVBoxLayout;
    results->setSpacing(0);
    for (Control* c : {&f.probableRadiusLabel, &f.medianRadiusLabel}) {
        results->addWidget(makeLabel(*c, central));
    }
    auto* list = new QListWidget(central);  // sorting aid of the index pages; never shown
    list->setSortingEnabled(true);
    bind(f.sortedList, list);

    auto* main = new QVBoxLayout(central);
    main->setContentsMargins(10, 8, 10, 8);
    main->addLayout(top);
    main->addWidget(plot_, 1);
    main->addLayout(results);

    for (Binding& b : bindings_) connectControl(b);
    qApp->installEventFilter(this);
    syncAll();
}

MainWindowView::~MainWindowView() {
    qApp->removeEventFilter(this);
    if (hooksInstalled_) {
        Hooks& h = hooks();
        h.refresh = nullptr;
        h.processEvents = nullptr;
        h.busy = nullptr;
        h.openUrl = nullptr;
        windowHooks().focusRequest = nullptr;
        windowHooks().quitApplication = nullptr;
        setRadialPlotCanvas(nullptr);
    }
    if (busy_) QApplication::restoreOverrideCursor();
}

void MainWindowView::buildMenus() {
    MainWindowState& f = mainWindow();
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

QWidget* MainWindowView::buildCalculationFrame() {
    MainWindowState& f = mainWindow();
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
    const int cell[5][2] = {{0, 0}, {0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (int i = 0; i < 5; ++i) {
        auto* r = new QRadioButton(qs(f.regionOptions[i].caption), frame);
        r->setAutoExclusive(false);
        bind(f.regionOptions[i], r);
        if (i != 1) regions->addWidget(r, cell[i][0], cell[i][1]);
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
    MainWindowState& f = mainWindow();
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);

    auto* theory = new QGroupBox(box);
    bind(f.radialPlotFrame, theory);
    auto* tl = new QGridLayout(theory);
    for (int i = 0; i < 3; ++i) {
        auto* r = new QRadioButton(qs(f.plotModeOptions[i].caption), theory);
        r->setAutoExclusive(false);
        bind(f.plotModeOptions[i], r);
        if (i < 2) tl->addWidget(r, i, 0);
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
    MainWindowState& f = mainWindow();
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

MainWindowView::Binding& MainWindowView::bind(Control& c, QWidget* w, QAction* a) {
    Binding& b = bindings_.emplace_back();
    b.c = &c;
    b.w = w;
    b.a = a;
    byControl_[&c] = &b;
    if (w) byWidget_[w] = &b;
    return b;
}

QLabel* MainWindowView::makeLabel(Control& c, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setTextFormat(Qt::PlainText);
    bind(c, l);
    return l;
}

void MainWindowView::connectControl(Binding& b) {
    Control& c = *b.c;
    if (b.a) {
        if (!b.menu) connect(b.a, &QAction::triggered, this, [this, &c] { act([&c] { c.click(); }); });
        return;
    }
    if (auto* e = qobject_cast<QLineEdit*>(b.w)) {
        connect(e, &QLineEdit::textEdited, this, [this, &b](const QString& t) {
            b.text = t.toStdString();
            act([&b] { b.c->setText(b.text); });
        });
    } else if (auto* s = dynamic_cast<SpinArrows*>(b.w)) {
        connect(s, &SpinArrows::stepped, this, [this, &c, s](int delta) { step(c, s, delta); });
    } else if (auto* l = dynamic_cast<ClickLabel*>(b.w)) {
        connect(l, &ClickLabel::clicked, this, [this, &c] {
            if (c.enabled) act([&c] { c.click(); });
        });
    } else if (auto* button = qobject_cast<QAbstractButton*>(b.w)) {
        connect(button, &QAbstractButton::clicked, this, [this, &c] { act([&c] { c.click(); }); });
    }
}

void MainWindowView::step(Control& spinner, QWidget* w, int delta) {
    // The spinners react only while they are the active control.
    mainWindow().activeControl = &spinner;
    lastActive_ = &spinner;
    if (!w->hasFocus()) w->setFocus(Qt::MouseFocusReason);
    act([&spinner, delta] { spinner.setValue(spinner.value + delta); });
}

void MainWindowView::act(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& e) {
        // An event handler must not let an exception into the event loop.
        dialogs().messageBox(e.what());
    }
    syncAll();
}

void MainWindowView::requestSync() {
    if (syncPending_) return;
    syncPending_ = true;
    QMetaObject::invokeMethod(
        this, [this] {
            if (syncPending_) syncAll();
        },
        Qt::QueuedConnection);
}

void MainWindowView::syncAll() {
    if (syncing_) return;
    syncing_ = true;
    syncPending_ = false;
    for (Binding& b : bindings_) sync(b);
    syncing_ = false;
    // Code moved the focus (selectAll): follow it.
    Control* active = mainWindow().activeControl;
    if (active != lastActive_) {
        lastActive_ = active;
        if (active) focusControl(*active);
    }
}

void MainWindowView::sync(Binding& b) {
    const Control& c = *b.c;
    if (b.a) {
        QAction* a = b.a;
        if (b.fresh || b.caption != c.caption) {
            b.caption = c.caption;
            if (b.menu) b.menu->setTitle(qs(c.caption));
            else a->setText(qs(c.caption));
        }
        if (a->isCheckable() && a->isChecked() != c.checked) {
            const QSignalBlocker block(a);
            a->setChecked(c.checked);
        }
        if (a->isEnabled() != c.enabled) a->setEnabled(c.enabled);
        if (a->isVisible() != c.visible) a->setVisible(c.visible);
        b.fresh = false;
        return;
    }
    QWidget* w = b.w;
    const QSignalBlocker block(w);
    switch (c.kind) {
    case ControlKind::Window:
        if (b.fresh || b.caption != c.caption) w->setWindowTitle(qs(c.caption));
        b.caption = c.caption;
        b.fresh = false;
        return;
    case ControlKind::TextBox:
        if (b.fresh || b.text != c.text) {
            auto* e = static_cast<QLineEdit*>(w);
            const QString t = qs(c.text);
            // Rewriting the same text would move the cursor to the end.
            if (e->text() != t) e->setText(t);
            b.text = c.text;
        }
        break;
    case ControlKind::Frame:
        if (b.fresh || b.caption != c.caption) static_cast<QGroupBox*>(w)->setTitle(qs(c.caption));
        b.caption = c.caption;
        break;
    case ControlKind::Label:
        if (auto* l = qobject_cast<QLabel*>(w); l && (b.fresh || b.caption != c.caption)) {
            l->setText(labelText(c.caption));
            b.caption = c.caption;
        }
        break;
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::Option: {
        auto* button = static_cast<QAbstractButton*>(w);
        if (b.fresh || b.caption != c.caption) button->setText(qs(c.caption));
        b.caption = c.caption;
        if (c.kind != ControlKind::Button && button->isChecked() != c.checked) button->setChecked(c.checked);
        break;
    }
    default:
        break;
    }
    if (b.fresh || b.color != c.color || b.bold != c.bold) {
        // Colour 0 (black) is the theme's own text colour.
        QPalette pal;
        if (c.color != 0) {
            pal.setColor(QPalette::WindowText, qColor(c.color));
            pal.setColor(QPalette::ButtonText, qColor(c.color));
        }
        if (c.color != 0 || !b.fresh) w->setPalette(pal);
        if (c.bold || !b.fresh) {
            QFont font = w->font();
            font.setBold(c.bold);
            w->setFont(font);
        }
        b.color = c.color;
        b.bold = c.bold;
    }
    if (b.fresh || b.enabled != c.enabled) {
        if (w != this) w->setEnabled(c.enabled);
        b.enabled = c.enabled;
        if (auto* l = dynamic_cast<ClickLabel*>(w)) l->setCursor(c.enabled ? Qt::PointingHandCursor : Qt::ArrowCursor);
    }
    if (w != this && w->isHidden() == c.visible) w->setVisible(c.visible);
    b.fresh = false;
}

void MainWindowView::focusControl(Control& c) {
    QWidget* w = widgetFor(c);
    if (!w || w == this) return;
    mainWindow().activeControl = &c;
    lastActive_ = &c;
    if (!w->isVisible() || !w->isEnabled()) return;
    if (!w->hasFocus()) w->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
}

QWidget* MainWindowView::widgetFor(const Control& c) const {
    auto it = byControl_.find(&c);
    return it == byControl_.end() ? nullptr : it->second->w;
}

QAction* MainWindowView::actionFor(const Control& c) const {
    auto it = byControl_.find(&c);
    return it == byControl_.end() ? nullptr : it->second->a;
}

QMenu* MainWindowView::menuFor(const Control& c) const {
    auto it = byControl_.find(&c);
    return it == byControl_.end() ? nullptr : it->second->menu;
}

void MainWindowView::installHooks() {
    Hooks& h = hooks();
    // A run asks for a refresh every few points; what it changed shows
    // the next time events run, so one sync serves them all.
    h.refresh = [this] {
        requestSync();
        plot_->scheduleRepaint();
    };
    h.processEvents = [this] {
        if (syncPending_) syncAll();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        // The window was closed during a long operation: every run that is
        // still to come stops at once.
        if (closed_) globals().run.stopRequested = true;
    };
    h.busy = [this](bool on) {
        if (on == busy_) return;
        busy_ = on;
        if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
        else QApplication::restoreOverrideCursor();
    };
    h.openUrl = [](const std::string& target, int) {
        const QString t = qs(target);
        const QUrl url = t.contains(QStringLiteral("://")) ? QUrl(t) : QUrl::fromLocalFile(t);
        return QDesktopServices::openUrl(url);
    };
    WindowHooks& w = windowHooks();
    w.focusRequest = [this](Control& c) { focusControl(c); };
    w.quitApplication = [this] { close(); };
    setRadialPlotCanvas(plot_);
    hooksInstalled_ = true;
}

void MainWindowView::placeAtRightEdge() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect avail = screen->availableGeometry();
    if (!isVisible()) adjustSize();
    // The frame is known only once the window is shown; until then its
    // width counts as the window's own.
    const int w = std::max(frameGeometry().width(), width());
    const int top = isVisible() ? frameGeometry().top() : avail.top();
    move(avail.left() + avail.width() - w, std::max(top, avail.top()));
}

void MainWindowView::focusIn(Binding& b) {
    Control& c = *b.c;
    // Focus moved by code (focusControl) is no news to the state.
    if (mainWindow().activeControl == &c) return;
    mainWindow().activeControl = &c;
    lastActive_ = &c;
    if (c.onFocus) act(c.onFocus);
}

bool MainWindowView::keyPress(Binding& b, QKeyEvent* key) {
    MainWindowState& f = mainWindow();
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    for (int i = 0; i < 3; ++i) {
        if (b.c != &f.quantumText[i]) continue;
        bool swallowed = false;
        act([&] { swallowed = quantumKeyEnter(i); });
        return swallowed;
    }
    if (b.c == &f.extentText) return true;
    // Enter on a focused button presses it, as on the desktop it came from.
    if (b.c->kind == ControlKind::Button && b.w->isEnabled()) {
        act([&b] { b.c->click(); });
        return true;
    }
    return false;
}

bool MainWindowView::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::FocusIn) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this) return false;
    if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            if (!mainWindow().escapeStopsRun) return false;
            act([] { escapePressed(); });
            return true;
        }
        auto it = byWidget_.find(watched);
        return it != byWidget_.end() && keyPress(*it->second, key);
    }
    auto it = byWidget_.find(watched);
    if (it != byWidget_.end() && it->second->c->kind != ControlKind::Window) focusIn(*it->second);
    return false;
}

void MainWindowView::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    if (!isActiveWindow()) {
        // Coming back from a message box is not a new activation; coming
        // back from another window of the program is.
        QWidget* next = QApplication::activeWindow();
        fromOtherWindow_ = next && next != this && !qobject_cast<QDialog*>(next);
        return;
    }
    if (activatedOnce_ && !fromOtherWindow_) return;
    activatedOnce_ = true;
    fromOtherWindow_ = false;
    act([] { formActivated(); });
}

void MainWindowView::closeEvent(QCloseEvent* event) {
    closed_ = true;
    // A run in progress stops at its next step.
    globals().run.stopRequested = true;
    event->accept();
    emit windowClosed();
}

}  // namespace vantrel

#include "mainwindowview.moc"
