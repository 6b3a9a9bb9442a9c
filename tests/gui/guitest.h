// The real main window over a fresh state, for the window tests.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <ostream>
#include <string>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QPoint& p, std::ostream* os) { *os << '(' << p.x() << ", " << p.y() << ')'; }
inline void PrintTo(const QSize& s, std::ostream* os) { *os << s.width() << 'x' << s.height(); }

#include "app/gui/mainwindowview.h"
#include "app/mainwindow.h"
#include "app/windowstate.h"
#include "app/appstate.h"
#include "support/testsupport.h"

namespace vantrel::test {

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
    TempDir home, work;
    ScopedEnv vantrelHome{"VANTREL_HOME", home.path()};
    fs::path oldDir = fs::current_path();
};

class GuiTest : public CacheState {
protected:
    void TearDown() override {
        view.reset();
        QApplication::processEvents();
        CacheState::TearDown();
    }

    // The window shown and active; with the reactions wired and the H atom
    // selected, as after start-up, when `reactions` is set.
    void startWindow(bool reactions) {
        if (reactions) installReactions();
        view = std::make_unique<MainWindowView>();
        view->installHooks();
        if (reactions) mainWindow().speciesMenuItems[0].click(), view->syncAll();
        view->show();
        view->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
    }

    QWidget* widget(const Control& c) { return view->widgetFor(c); }
    QLineEdit* edit(const Control& c) { return qobject_cast<QLineEdit*>(widget(c)); }
    QAbstractButton* button(const Control& c) { return qobject_cast<QAbstractButton*>(widget(c)); }
    QLabel* label(const Control& c) { return qobject_cast<QLabel*>(widget(c)); }

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

    std::unique_ptr<MainWindowView> view;
};

}  // namespace vantrel::test
