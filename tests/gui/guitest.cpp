#include "guitest.h"

#include <QApplication>

#include <filesystem>

#include "app/mainwindow.h"
#include "engine/globals.h"

namespace vantrel::test {

void GuiTest::SetUp() {
    FreshState::SetUp();
    home = std::make_unique<TempDir>();
    std::filesystem::create_directories(home->path() + "/files");
    globals().maindir = home->path();
}

void GuiTest::TearDown() {
    view.reset();
    QApplication::processEvents();
    home.reset();
    FreshState::TearDown();
}

void GuiTest::startwindow() {
    initengine();
    installreactions();
    view = std::make_unique<MainWindowView>();
    view->installhooks();
    form().mnuH[0].click();
    view->syncall();
    view->show();
    view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
}

void GuiTest::clickbutton(const Control& c) {
    QWidget* w = view->widgetfor(c);
    ASSERT_NE(w, nullptr) << c.name;
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(8, w->height() / 2));
}

void GuiTest::clickspinner(const Control& c, int direction) {
    QWidget* w = view->widgetfor(c);
    ASSERT_NE(w, nullptr) << c.name;
    for (QToolButton* arrow : w->findChildren<QToolButton*>()) {
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
    // The first key replaces the selection, as when a user types over it.
    e->selectAll();
    QTest::keyClicks(e, QString::fromStdString(text));
}

}  // namespace vantrel::test
