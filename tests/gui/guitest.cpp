#include "guitest.h"

#include <QApplication>
#include <QToolButton>

#include "app/mainwindow.h"
#include "engine/globals.h"

namespace vantrel::test {

void GuiTest::TearDown() {
    view.reset();
    QApplication::processEvents();
    CacheState::TearDown();
}

void GuiTest::startwindow(bool reactions) {
    if (reactions) {
        initengine();
        installreactions();
    }
    view = std::make_unique<MainWindowView>();
    view->installhooks();
    if (reactions) {
        form().mnuH[0].click();
        view->syncall();
    }
    view->show();
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
}

void GuiTest::clickbutton(const Control& c) {
    QWidget* w = widget(c);
    ASSERT_NE(w, nullptr) << c.name;
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2));
}

void GuiTest::clickspinner(const Control& c, int direction) {
    for (QToolButton* arrow : widget(c)->findChildren<QToolButton*>()) {
        if (arrow->arrowType() == (direction > 0 ? Qt::RightArrow : Qt::LeftArrow)) {
            QTest::mouseClick(arrow, Qt::LeftButton);
            return;
        }
    }
    FAIL() << "no arrow on " << c.name;
}

void GuiTest::type(const Control& c, const std::string& text) {
    QLineEdit* e = edit(c);
    ASSERT_NE(e, nullptr) << c.name;
    e->setFocus();
    e->selectAll();  // the first key replaces the selection, as when a user types over it
    QTest::keyClicks(e, QString::fromStdString(text));
}

}  // namespace vantrel::test
