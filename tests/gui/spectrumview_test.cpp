// The emission spectrum window opened from the main window's menu.
#include <QComboBox>

#include "app/gui/levelwindowlink.h"
#include "app/gui/spectrumwindowlink.h"
#include "guitest.h"
#include "levels/gui/leveldiagramwindow.h"
#include "spectrum/gui/spectrumview.h"

namespace vantrel::test {
namespace {

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
    SpectrumWindow& state() { return spectrum->state(); }
    // At a point given in twips.
    void clickDiagram(double x, double y) {
        QTest::mouseClick(spectrum->diagram(), Qt::LeftButton, {}, spectrum->diagramPixel(x, y));
    }

    std::unique_ptr<SpectrumWindowLink> link;
    SpectrumView* spectrum = nullptr;
    int levelWindowShown = 0;
};

TEST_F(SpectrumViewTest, OpensFromTheMenuAtItsSize) {
    EXPECT_TRUE(s.window.spectrumOpen);
    EXPECT_EQ(spectrum->windowTitle(), "Hydrogen Atom Emission Spectrum");
    EXPECT_EQ(spectrum->size(), QSize(386, 489));  // 5790 x 7335 twips
    view->actionFor(f.spectrumMenuItem)->trigger();
    EXPECT_EQ(link->openView(), spectrum);
}

// Not while a run works on the main window's orbital.
TEST_F(SpectrumViewTest, ClickOnALevelSetsTheMainWindowsN) {
    setOrbital(s, 1, 5, 2, 1, false);
    view->syncAll();
    enableControls(s, false);
    EXPECT_FALSE(spectrum->diagram()->isEnabled());
    clickDiagram(1200, 395);
    EXPECT_EQ(o.currentN, 5);
    enableControls(s, true);
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

// Beside the main window, not over it; the level window too where it fits.
TEST_F(SpectrumViewTest, BesideTheMainWindow) {
    LevelWindowLink levels(s, view.get(), [this] { view->syncAll(); });
    delete spectrum;
    view->resize(320, 400);
    view->placeAtRightEdge();
    view->move(view->pos() + QPoint(0, 40));
    view->actionFor(f.compareEnergiesMenuItem)->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&levels.window()));
    EXPECT_EQ(levels.window().frameGeometry().top(), view->frameGeometry().top());
    view->actionFor(f.spectrumMenuItem)->trigger();
    spectrum = link->openView();
    ASSERT_NE(spectrum, nullptr);
    EXPECT_LE(spectrum->frameGeometry().right(), view->frameGeometry().left());
    EXPECT_EQ(spectrum->frameGeometry().top(), view->frameGeometry().top());
}

}  // namespace
}  // namespace vantrel::test
