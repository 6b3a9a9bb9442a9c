// The 3-D view in the main window, fed by runs, loads and the window's options.
#include <QMenuBar>

#include <algorithm>

#include "app/gui/orbitalviewpanel.h"
#include "cloudview/cloudtest.h"
#include "cloudview/gui/cloudviewwidget.h"
#include "guitest.h"

namespace vantrel::test {
namespace {

class WindowViewTest : public StartedWindowTest {
protected:
    void SetUp() override {
        StartedWindowTest::SetUp();
        view->resize(1280, 760);
        type(f.quantumText[0], "2");
        type(f.quantumText[1], "1");
        type(f.maxPointsText, "20000");
        clickButton(f.colourModeOptions[1]);  // Nodes: the sign colours
    }
    CloudViewWidget& cloud() { return *view->orbitalView()->cloudView(); }
    CloudRenderer& renderer() { return f.orbitalView.renderer; }
    // Centroid of one sign's pixels, the legend left out.
    Centroid lobe(const QImage& img, bool (*pick)(std::uint32_t)) {
        const QRectF legend = cloud().lastText().legend;
        const double r = cloud().devicePixelRatioF();
        return centroidOf(img.width(), img.height(), [&](int x, int y) {
            return legend.contains(x / r, y / r) ? 0xffffffffu : img.pixel(x, y);
        }, pick);
    }
};

TEST_F(WindowViewTest, CalculateShowsTwoPzUprightWhileItRuns) {
    // Looked at after every block of trials.
    int refreshes = 0;
    std::size_t seen = 0;
    const auto progress = s.samplingHooks.onProgress;
    s.samplingHooks.onProgress = [&](const RunProgress& p, long long target) {
        if (progress) progress(p, target);
        if (renderer().pointCount() > seen) seen = renderer().pointCount(), ++refreshes;
    };
    type(f.maxPointsText, "640000");
    calculate();
    s.samplingHooks.onProgress = progress;
    EXPECT_EQ(renderer().pointCount(), 640000u);
    EXPECT_GE(refreshes, 1) << "points reached the view during the run, not only at its end";

    const QImage img = cloud().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const Centroid blue = lobe(img, bluish), red = lobe(img, reddish);
    ASSERT_GT(blue.count, 1000);
    ASSERT_GT(red.count, 1000);
    EXPECT_LT(blue.y, red.y - 40) << "the positive lobe above the negative one";
    ASSERT_EQ(cloud().lastText().labels.size(), 3u);
    EXPECT_LT(cloud().lastText().labels[2].center().y() * cloud().devicePixelRatioF(), blue.y) << "z above both";
}

TEST_F(WindowViewTest, OptionsShowBothWays) {
    clickButton(f.blackBackgroundCheck);
    clickButton(f.jmolBoundingBoxCheck);
    EXPECT_TRUE(f.orbitalView.view.blackBackground);
    EXPECT_FALSE(f.orbitalView.view.box);
    EXPECT_EQ(f.orbitalView.view.colouring, CloudColouring::sign);
    // The view's own menu changes the window's boxes too.
    f.orbitalView.view.blackBackground = false;
    f.orbitalView.view.colouring = CloudColouring::probability;
    emit cloud().stateChanged();
    EXPECT_FALSE(f.blackBackgroundCheck.checked);
    EXPECT_TRUE(f.colourModeOptions[0].checked);
}

TEST_F(WindowViewTest, TheMenuHasTheSurfacesSlicesAndFiles) {
    QAction* top = menuItem(view->menuBar(), "3-D View");
    ASSERT_NE(top, nullptr);
    QMenu* menu = top->menu();
    ASSERT_EQ(std::ranges::count_if(menu->actions(), [](const QAction* a) { return !a->isSeparator(); }), 12);
    menu->actions().front()->trigger();  // Show Surfaces
    EXPECT_EQ(renderer().surfaceCount(), 2u);
    EXPECT_TRUE(view->orbitalView()->surfaceLabel()->text().startsWith("Surfaces: 90 % inside |ψ| = "));
    f.orbitalView.setEnclosedPercent(5, s.wavefunction, s.orbital.extent);
    view->syncAll();
    EXPECT_TRUE(view->orbitalView()->surfaceLabel()->text().startsWith("Surfaces: 10 % inside")) << "10 to 99";
    type(f.quantumText[0], "3");
    EXPECT_EQ(renderer().surfaceCount(), 0u) << "another orbital has none yet";
    EXPECT_FALSE(menu->actions().front()->isChecked());
}

TEST_F(WindowViewTest, FitsTheScreenAndA1280By800One) {
    // Also run at scale factor 2, where the test screen has half the room.
    const QSize room = view->screen()->availableGeometry().size(), smallest = view->minimumSizeHint();
    EXPECT_LE(smallest.width(), room.width());
    EXPECT_LE(smallest.height(), room.height());
    const QSize wanted = view->sizeHint();
    EXPECT_LE(wanted.width(), 1280 - 8);
    EXPECT_LE(wanted.height(), 800 - 30) << "below a title bar";
    EXPECT_GE(view->orbitalView()->minimumSizeHint().width(), 160);
}

}  // namespace
}  // namespace vantrel::test
