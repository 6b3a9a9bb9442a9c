// The real main window over a fresh state, for the window tests.
#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <memory>
#include <ostream>
#include <string>

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

#include "app/gui/mainwindowview.h"
#include "engine/formstate.h"
#include "support/testsupport.h"

namespace vantrel::test {

class GuiTest : public CacheState {
protected:
    void TearDown() override;

    // The window shown and active; with the reactions wired and the H atom
    // selected, as after start-up, when `reactions` is set.
    void startwindow(bool reactions);

    QWidget* widget(const Control& c) { return view->widgetfor(c); }
    QLineEdit* edit(const Control& c) { return qobject_cast<QLineEdit*>(widget(c)); }
    QAbstractButton* button(const Control& c) { return qobject_cast<QAbstractButton*>(widget(c)); }
    QLabel* label(const Control& c) { return qobject_cast<QLabel*>(widget(c)); }
    // A user's click on a check box or option button (on its indicator).
    void clickbutton(const Control& c);
    // The right (+1) or left (-1) arrow of a spinner.
    void clickspinner(const Control& c, int direction);
    // Replaces the text of a box by typing.
    void type(const Control& c, const std::string& text);

    std::unique_ptr<MainWindowView> view;
};

}  // namespace vantrel::test
