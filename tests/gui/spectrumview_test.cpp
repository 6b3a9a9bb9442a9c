// The emission spectrum window on screen, opened from the main window's
// menu and driven with the pointer and the keyboard.
#include <QComboBox>

#include <memory>
#include <tuple>

#include "app/gui/spectrumwindowlink.h"
#include "app/orbitalcontrols.h"
#include "guitest.h"
#include "spectrum/gui/spectrumview.h"

namespace vantrel::test {
namespace {

using std::tuple;

class SpectrumViewTest : public StartedWindowTest {
protected:
    void SetUp() override {
        StartedWindowTest::SetUp();
        link = std::make_unique<SpectrumWindowLink>(s, view.get());
        s.windowHooks.showLevels = [this] { ++levelWindowShown; };
        view->actionFor(f.spectrumMenuItem)->trigger();
        spectrum = link->openView();
        ASSERT_NE(spectrum, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(spectrum));
    }
    void TearDown() override {
        link.reset();
        StartedWindowTest::TearDown();
    }
    SpectrumWindow& state() { return spectrum->state(); }
    // A click on the level diagram, at a point given in twips.
    void clickDiagram(double x, double y) {
        QTest::mouseClick(spectrum->diagram(), Qt::LeftButton, {}, spectrum->diagramPixel(x, y));
    }
    QString listText(int i) { return spectrum->list(i)->currentText(); }

    std::unique_ptr<SpectrumWindowLink> link;
    SpectrumView* spectrum = nullptr;
    int levelWindowShown = 0;
};

TEST_F(SpectrumViewTest, OpensFromTheMenuAtItsSize) {
    EXPECT_TRUE(s.window.spectrumOpen);
    EXPECT_EQ(spectrum->windowTitle(), "Hydrogen Atom Emission Spectrum");
    EXPECT_EQ(spectrum->size(), QSize(386, 489));  // 5790 x 7335 twips
    EXPECT_EQ(tuple(spectrum->list(upperList)->count(), listText(upperList), spectrum->list(lowerList)->currentIndex()),
              tuple(20, "SELECT A STATE", -1));
    // The menu item again brings the same window forward.
    view->actionFor(f.spectrumMenuItem)->trigger();
    EXPECT_EQ(link->openView(), spectrum);
}

TEST_F(SpectrumViewTest, ClickOnALevelSetsTheMainWindowsN) {
    setOrbital(s, 1, 5, 2, 1, false);
    view->syncAll();
    // Larger than designed: the hit tests follow the drawing.
    spectrum->resize(772, 978);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(spectrum->scale(), 2.0 / 15);
    clickDiagram(1200, 395);  // level 4 lies at 425
    QApplication::processEvents();
    EXPECT_EQ(tuple(o.currentZ, o.currentN, o.currentL, o.currentM, edit(f.quantumText[0])->text()), tuple(1, 4, 2, 1, "4"));
    EXPECT_EQ(tuple(state().upperTag.caption, spectrum->list(upperList)->currentIndex()), tuple("n=4", -1));

    // "Energy Levels" closes this window and asks for the level window.
    QLabel* levelsLink = spectrum->energyLevelsLink();
    ASSERT_TRUE(levelsLink->isVisible());
    emit levelsLink->linkActivated("levels");
    QApplication::processEvents();
    EXPECT_EQ(tuple(s.window.spectrumOpen, s.window.levelsOpen, levelWindowShown), tuple(false, true, 1));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(link->openView(), nullptr);
}

// The window beside the main window, not over it.
TEST_F(SpectrumViewTest, BesideTheMainWindow) {
    delete spectrum;
    view->resize(320, 400);
    view->placeAtRightEdge();
    view->actionFor(f.spectrumMenuItem)->trigger();
    spectrum = link->openView();
    ASSERT_NE(spectrum, nullptr);
    EXPECT_LE(spectrum->frameGeometry().right(), view->frameGeometry().left());
    EXPECT_EQ(spectrum->frameGeometry().top(), view->frameGeometry().top());
}

// While a run works on the main window's orbital no level can be picked
// here, as the level window is disabled then.
TEST_F(SpectrumViewTest, RunsTurnLevelPickingOff) {
    for (bool on : {false, true}) {
        enableControls(s, on);
        EXPECT_EQ(spectrum->diagram()->isEnabled(), on);
        clickDiagram(1200, 395);  // level 4
        EXPECT_EQ(o.currentN, on ? 4 : 1);
    }
}

}  // namespace
}  // namespace vantrel::test
