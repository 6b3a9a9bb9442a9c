// What a desktop user expects of the windows: they fit the screen, sit
// beside each other, show exact colours, export their pictures and answer
// the usual shortcuts.
#include <QApplication>
#include <QScreen>

#include <QTimer>
#include "app/gui/qtdialogs.h"
#include "guitest.h"

namespace vantrel::test {
namespace {

class DesktopTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startWindow(true);
    }
};

// Run again with QT_SCALE_FACTOR=2: every pixel doubled, the window still
// fits a 1600 x 1000 screen with room for its title bar.
TEST_F(DesktopTest, MinimumSizeFitsASmallScreen) {
    const QSize minimum = view->minimumSize().expandedTo(view->minimumSizeHint()) * view->devicePixelRatio();
    EXPECT_LE(minimum.width(), 1600);
    EXPECT_LE(minimum.height() + 80, 1000);
}

// The red extent caption and "too small?" grey with the rest during a run.
TEST_F(DesktopTest, RedCaptionsGreyDuringARun) {
    type(f.extentText, "1");
    ASSERT_TRUE(label(f.tooSmallLabel)->isVisible());
    const QColor red(255, 0, 0);
    for (const Control* c : {&f.extentLabel, &f.tooSmallLabel})
        ASSERT_EQ(widget(*c)->palette().color(QPalette::Active, QPalette::WindowText), red) << c->name;
    enableControls(false);
    view->syncAll();
    for (const Control* c : {&f.extentLabel, &f.tooSmallLabel}) {
        EXPECT_FALSE(widget(*c)->isEnabled()) << c->name;
        EXPECT_NE(widget(*c)->palette().color(QPalette::Disabled, QPalette::WindowText), red) << c->name;
    }
    enableControls(true);
}

// A long message (its box grows after Qt placed it) and a question, the
// second with no window active any more: both centred on the main window.
TEST_F(DesktopTest, MessageBoxesAreCentredOnTheWindow) {
    view->placeAtRightEdge();
    QApplication::processEvents();
    QtDialogs boxes;
    boxes.setMainWindow(view.get());
    const std::string longText = "The sequence file /home/someone/a/rather/long/folder/name/for/sequences/seq.txt is "
                                 "not of the correct file type. See /home/someone/vantrel/input.txt for one that works.";
    for (auto [text, buttons] : {std::pair{longText, Buttons::OK}, {std::string("Go on?"), Buttons::YesNo}}) {
        QPoint centre;
        QTimer::singleShot(100, [&centre] {
            QWidget* box = QApplication::activeModalWidget();
            centre = box->frameGeometry().center();
            box->close();
        });
        boxes.messageBox(text, buttons, "", Icon::None);
        EXPECT_LE((centre - view->frameGeometry().center()).manhattanLength(), 4) << text;
    }
}

}  // namespace
}  // namespace vantrel::test
