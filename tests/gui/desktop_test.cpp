// What a desktop user expects of the windows: they fit the screen, sit
// beside each other, show exact colours, export their pictures and answer
// the usual shortcuts.
#include <QApplication>
#include <QScreen>

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
    std::cerr << minimum.width() << "x" << minimum.height() << " dpr " << view->devicePixelRatio() << "\n";
    EXPECT_LE(minimum.width(), 1600);
    EXPECT_LE(minimum.height() + 80, 1000);
}

}  // namespace
}  // namespace vantrel::test
