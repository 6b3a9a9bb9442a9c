// The real main window over a fresh state, for the window tests.
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <ostream>
#include <string>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

#include "app/gui/mainwindowview.h"
#include "engine/formstate.h"
#include "support/testsupport.h"

namespace vantrel::test {

class GuiTest : public FreshState {
protected:
    void SetUp() override;
    void TearDown() override;

    // Window with the reactions wired and the H atom selected, as after start-up.
    void startwindow();

    template <class W>
    W* widget(const Control& c) {
        return qobject_cast<W*>(view->widgetfor(c));
    }
    QLineEdit* edit(const Control& c) { return widget<QLineEdit>(c); }
    QAbstractButton* button(const Control& c) { return widget<QAbstractButton>(c); }
    QLabel* label(const Control& c) { return widget<QLabel>(c); }
    // A user's click on a check box or option button (on its indicator).
    void clickbutton(const Control& c);
    // The right (+1) or left (-1) arrow of a spinner.
    void clickspinner(const Control& c, int direction);
    // Replaces the text of a box by typing.
    void type(const Control& c, const std::string& text);

    std::unique_ptr<TempDir> home;
    std::unique_ptr<MainWindowView> view;
};

}  // namespace vantrel::test
