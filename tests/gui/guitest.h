// The real main window over a fresh state, for the window tests.
#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QPoint& p, std::ostream* os) { *os << '(' << p.x() << ", " << p.y() << ')'; }
inline void PrintTo(const QSize& s, std::ostream* os) { *os << s.width() << 'x' << s.height(); }

#include "app/appstate.h"
#include "app/gui/gui.h"
#include "app/gui/mainwindowview.h"
#include "app/mainwindow.h"
#include "app/orbitalcontrols.h"
#include "app/windowstate.h"
#include "support/testsupport.h"

namespace vantrel::test {

using std::tuple;

// The item of a menu or menu bar with this caption (its "&" left out), or null.
inline QAction* menuItem(const QWidget* menu, const QString& caption) {
    for (QAction* a : menu->actions())
        if (QString(a->text()).remove('&') == caption) return a;
    return nullptr;
}

// The program as a user starts it: its own main directory and working
// folder, with a help page there so nothing is unpacked.
class ProgramStartTest : public FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        writeFile(work.file("index.htm"), "<html></html>");
        fs::current_path(work.path());
    }
    void TearDown() override {
        fs::current_path(oldDir);
        QApplication::setQuitOnLastWindowClosed(true);
        FreshState::TearDown();
    }
    // Runs the program on `session` (else the test's). Every 5 ms a message
    // box is answered (OK, else Yes) and its text kept in `shown`, or else
    // `poll` runs with the shown main window.
    int runProgram(const std::vector<std::string>& arguments, const std::function<void(MainWindowView&)>& poll,
                   Session* session = nullptr) {
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown << box->text();
                box->button(box->standardButtons() & QMessageBox::Ok ? QMessageBox::Ok : QMessageBox::Yes)->click();
                return;
            }
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* view = qobject_cast<MainWindowView*>(w); view && view->isVisible()) poll(*view);
        });
        timer.start(5);
        return vantrel::runGui(session ? *session : s, *qApp, arguments);
    }
    // An interactive start on a session of its own: once `ready` holds for
    // the shown window, `use` runs and the window is closed.
    void start(const std::function<void(MainWindowView&)>& use, const std::function<bool(MainWindowView&)>& ready = {}) {
        Session started;
        bool used = false;
        EXPECT_EQ(runProgram({}, [&](MainWindowView& view) {
            if (used || (ready && !ready(view))) return;
            used = true;
            use(view);
            view.close();
        }, &started), 0);
        EXPECT_TRUE(used);
    }
    int runSequence(const std::string& text, const std::function<void(MainWindowView&)>& poll) {
        writeFile(work.file("seq.txt"), text);
        return runProgram({work.file("seq.txt")}, poll);
    }
    TempDir home, work;
    ScopedEnv vantrelHome{"VANTREL_HOME", home.path()};
    fs::path oldDir = fs::current_path();
    QStringList shown;
};

// The window shown and active, as after start-up: the reactions wired and
// the H atom selected, unless a test of the view alone clears `reactions`.
class StartedWindowTest : public CacheState {
protected:
    void SetUp() override {
        CacheState::SetUp();
        if (reactions) installReactions(s);
        view = std::make_unique<MainWindowView>(s);
        view->installHooks();
        if (reactions) s.window.speciesMenuItems[0].click(), view->syncAll();
        view->show();
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    }
    void TearDown() override {
        view.reset();
        QApplication::processEvents();
        CacheState::TearDown();
    }

    QWidget* widget(const Control& c) { return view->widgetFor(c); }
    QLineEdit* edit(const Control& c) { return qobject_cast<QLineEdit*>(widget(c)); }
    QAbstractButton* button(const Control& c) { return qobject_cast<QAbstractButton*>(widget(c)); }
    QLabel* label(const Control& c) { return qobject_cast<QLabel*>(widget(c)); }
    QString text(const Control& c) { return edit(c) ? edit(c)->text() : label(c) ? label(c)->text() : button(c)->text(); }
    bool enabled(const Control& c) { return widget(c)->isEnabled(); }
    QString frameTitle() { return qobject_cast<QGroupBox*>(widget(f.calculationFrame))->title(); }
    void calculate() { QTest::mouseClick(button(f.calculateButton), Qt::LeftButton); }

    // A user's click on a check box or option button (on its indicator).
    void clickButton(const Control& c) {
        ASSERT_NE(widget(c), nullptr) << c.name;
        QTest::mouseClick(widget(c), Qt::LeftButton, {}, QPoint(8, widget(c)->height() / 2));
    }
    // The right (+1) or left (-1) arrow of a spinner.
    void clickSpinner(const Control& c, int direction) {
        for (QToolButton* arrow : widget(c)->findChildren<QToolButton*>())
            if (arrow->arrowType() == (direction > 0 ? Qt::RightArrow : Qt::LeftArrow))
                return QTest::mouseClick(arrow, Qt::LeftButton);
        FAIL() << "no arrow on " << c.name;
    }
    // Replaces the text of a box by typing over it.
    void type(const Control& c, const std::string& text) {
        ASSERT_NE(edit(c), nullptr) << c.name;
        edit(c)->setFocus();
        edit(c)->selectAll();
        QTest::keyClicks(edit(c), QString::fromStdString(text));
    }

    bool reactions = true;
    std::unique_ptr<MainWindowView> view;
};

}  // namespace vantrel::test
