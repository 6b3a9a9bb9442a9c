#include "app/gui/mainwindowview.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDialog>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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

#include "app/gui/orbitalviewpanel.h"
#include "app/gui/controlwidgets.h"
#include "app/gui/desktopkeys.h"
#include "app/gui/radialplotwidget.h"
#include "app/mainwindow.h"
#include "app/windowstate.h"
#include "app/appstate.h"
#include "app/platformhooks.h"
#include "app/radialview.h"
#include "app/session.h"
#include "widgets/guardedaction.h"
#include "widgets/pictureexport.h"
#include "widgets/screenfit.h"

namespace vantrel {

MainWindowView::MainWindowView(Session& session, QWidget* parent) : QMainWindow(parent), session_(session) {
    MainWindowState& f = session_.window;
    bindings_.clear();
    auto* central = new QWidget;
    setCentralWidget(new ContentsScrollArea(central, this));
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
    // A fixed size: the count changes many times a second during a run, and
    // a label that may grow would lay out the whole window each time.
    count->setFixedSize(QFontMetrics(countFont).horizontalAdvance(QStringLiteral("0000000000000")) + 8,
                        QFontMetrics(countFont).lineSpacing() + 2);
    right->addWidget(count, 0, Qt::AlignHCenter);
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

    auto* main = new QVBoxLayout(central);
    main->setContentsMargins(10, 8, 10, 8);
    main->addLayout(top);
    main->addWidget(plot_, 1);
    main->addLayout(results);

    // What comes and goes keeps its space, so that nothing the user aims at
    // moves and the window keeps its size.
    for (Control* c : {&f.pointCountLabel, &f.errorLabel, &f.nodeLabel, &f.planeLabel, &f.jmolFrame, &f.quickLabel,
                       &f.tooSmallLabel, &f.tooLargeLabel}) {
        QSizePolicy policy = widgetFor(*c)->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widgetFor(*c)->setSizePolicy(policy);
    }
    // Labels whose text comes and goes: a line each, two for the radius or
    // the advice and the legend.
    for (auto [c, lines] : {std::pair{&f.probableRadiusLabel, 2}, {&f.medianRadiusLabel, 1}}) {
        QWidget* w = widgetFor(*c);
        w->setMinimumHeight(lines * w->fontMetrics().lineSpacing() + 2);
    }

    buildOrbitalView();
    for (Binding& b : bindings_) connectControl(b);
    installDesktopKeys(this, actionFor(f.helpMenuItems[0]), actionFor(f.exitMenuItem),
                       static_cast<QAbstractButton*>(widgetFor(f.loadButton)));
    addPictureActions(plot_, plot_, this, QStringLiteral("radial-plot"));
    qApp->installEventFilter(this);
    syncAll();
}

MainWindowView::~MainWindowView() {
    qApp->removeEventFilter(this);
    // Closing takes the focus from a box, which must not reach a view half gone.
    for (Binding& b : bindings_)
        if (b.w && b.w != this) b.w->disconnect(this);
    if (hooksInstalled_) {
        Hooks& h = session_.hooks;
        h.refresh = nullptr;
        h.processEvents = nullptr;
        h.busy = nullptr;
        h.openUrl = nullptr;
        h.screenWidthTwips = nullptr;
        session_.windowHooks.focusRequest = nullptr;
        session_.windowHooks.quitApplication = nullptr;
        session_.radialPlot.setCanvas(nullptr);
        plot_->redraw = nullptr;
    }
    if (busy_) QApplication::restoreOverrideCursor();
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
        // Enter is taken by keyPress before the box sees it: this is the focus leaving.
        connect(e, &QLineEdit::editingFinished, this, [this, &c] {
            if (c.onEditingFinished) act(c.onEditingFinished);
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
    session_.window.activeControl = &spinner;
    lastActive_ = &spinner;
    if (!w->hasFocus()) w->setFocus(Qt::MouseFocusReason);
    act([&spinner, delta] { spinner.setValue(spinner.value + delta); });
}

void MainWindowView::act(const std::function<void()>& action) {
    runGuarded(*session_.dialogs, action);
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
    if (viewPanel_) viewPanel_->refresh();
    syncing_ = false;
    // Code moved the focus (selectAll): follow it.
    Control* active = session_.window.activeControl;
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
        // Colour 0 (black) is the theme's own text colour; a disabled control
        // greys as the theme does, red or not.
        QPalette pal;
        if (c.color != 0) {
            for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
                pal.setColor(group, QPalette::WindowText, qColor(c.color));
                pal.setColor(group, QPalette::ButtonText, qColor(c.color));
            }
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
    session_.window.activeControl = &c;
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
    Hooks& h = session_.hooks;
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
        if (closed_) session_.run.stopRequested.request();
    };
    h.busy = [this](bool on) {
        if (on == busy_) return;
        busy_ = on;
        if (on) QApplication::setOverrideCursor(Qt::WaitCursor);
        else QApplication::restoreOverrideCursor();
    };
    h.screenWidthTwips = [this] {
        const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
        return s ? s->geometry().width() * 15 : 1280 * 15;  // 15 twips a pixel at 96 dpi
    };
    h.openUrl = [](const std::string& target, bool) {
        const QString t = qs(target);
        const QUrl url = t.contains(QStringLiteral("://")) ? QUrl(t) : QUrl::fromLocalFile(t);
        return QDesktopServices::openUrl(url);
    };
    WindowHooks& w = session_.windowHooks;
    w.focusRequest = [this](Control& c) { focusControl(c); };
    w.quitApplication = [this] { close(); };
    session_.radialPlot.setCanvas(plot_);
    plot_->redraw = [this] { redrawRadialPlot(session_); };
    hooksInstalled_ = true;
}

void MainWindowView::placeAtRightEdge() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect avail = screen->availableGeometry();
    // All the window wants, as far as the screen has room (adjustSize would
    // stop at two thirds of it); the frame is a guess until it is shown.
    if (!isVisible()) resize(sizeHint().boundedTo(avail.size() - QSize(8, 40)).expandedTo(minimumSizeHint()));
    keepWithinScreen(this);
    // The frame is known only once the window is shown; until then its
    // width counts as the window's own.
    const int w = std::max(frameGeometry().width(), width());
    const int top = isVisible() ? frameGeometry().top() : avail.top();
    move(avail.left() + avail.width() - w, std::max(top, avail.top()));
}

void MainWindowView::focusIn(Binding& b) {
    Control& c = *b.c;
    // Focus moved by code (focusControl) is no news to the state.
    if (session_.window.activeControl == &c) return;
    session_.window.activeControl = &c;
    lastActive_ = &c;
    if (c.onFocus) act(c.onFocus);
}

bool MainWindowView::keyPress(Binding& b, QKeyEvent* key) {
    MainWindowState& f = session_.window;
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) return false;
    for (int i = 0; i < 3; ++i) {
        if (b.c != &f.quantumText[i]) continue;
        bool swallowed = false;
        act([&] { swallowed = quantumKeyEnter(session_, i); });
        return swallowed;
    }
    if (b.c == &f.extentText) {
        if (b.c->onEditingFinished) act(b.c->onEditingFinished);
        return true;
    }
    // Enter on a focused button presses it, as on the desktop it came from.
    if (b.c->kind == ControlKind::Button && b.w->isEnabled()) {
        act([&b] { b.c->click(); });
        return true;
    }
    return false;
}

bool MainWindowView::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonRelease && watched == selectOnRelease_) {
        selectOnRelease_ = nullptr;
        // A drag that chose part of the text keeps it.
        if (auto* e = qobject_cast<QLineEdit*>(watched); e && !e->hasSelectedText()) e->selectAll();
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::FocusIn) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != this) return false;
    if (type == QEvent::FocusIn && qobject_cast<QLineEdit*>(w))
        selectOnRelease_ = static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason ? w : nullptr;
    if (type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            if (!session_.window.escapeStopsRun) return false;
            act([this] { escapePressed(session_); });
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
    act([this] { formActivated(session_); });
}

void MainWindowView::closeEvent(QCloseEvent* event) {
    closed_ = true;
    // A run in progress stops at its next step.
    session_.run.stopRequested.request();
    event->accept();
    emit windowClosed();
}

}  // namespace vantrel

