// The level diagram window beside the real main window, its reactions and engine.
#include <QRadioButton>

#include "app/gui/levelwindowlink.h"
#include "app/gui/spectrumwindowlink.h"
#include "guitest.h"
#include "levels/gui/leveldiagramwindow.h"
#include "levels/leveldiagram.h"
#include "spectrum/gui/spectrumview.h"

namespace vantrel::test {
namespace {

class LevelWindowTest : public StartedWindowTest {
protected:
    void SetUp() override {
        StartedWindowTest::SetUp();
        link = std::make_unique<LevelWindowLink>(s, view.get(), [this] { view->syncAll(); });
    }
    LevelDiagramWindow& levels() { return link->window(); }
    LevelDiagram& diagram() { return link->diagram(); }

    void openFromMenu() {
        view->actionFor(f.compareEnergiesMenuItem)->trigger();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&levels()));
        ASSERT_TRUE(QTest::qWaitForWindowActive(&levels()));
    }
    // n, l, m as the main window's boxes show them, and Z.
    std::string mainState() {
        std::string shown;
        for (const auto& box : f.quantumText) shown += edit(box)->text().toStdString() + " ";
        return shown + "Z=" + std::to_string(o.currentZ);
    }
    std::unique_ptr<LevelWindowLink> link;
};

TEST_F(LevelWindowTest, MenuOpensTheWindowWhichFollowsTheMainWindow) {
    openFromMenu();
    EXPECT_TRUE(s.window.levelsOpen);
    EXPECT_EQ(levels().windowTitle(), "Compare Orbital Energies");
    EXPECT_EQ(tuple(levels().speciesButton(1)->isChecked(), levels().spectrumLink()->isVisible()), tuple(true, true));
    EXPECT_EQ(levels().pickedLabel()->text(), "#1:  Z=1 n=1 l=0 m=0 E=-2.18 aJ");

    for (int i : {0, 1, 2}) type(f.quantumText[i], i == 0 ? "2" : i == 1 ? "1" : "-1");
    view->actionFor(f.speciesMenuItems[1])->trigger();
    EXPECT_TRUE(levels().speciesButton(2)->isChecked());
    EXPECT_EQ(levels().pickedLabel()->text(), "#3:  Z=2 n=2 l=1 m=-1 E=-2.18 aJ");

    // The menu item again: the same window.
    view->actionFor(f.compareEnergiesMenuItem)->trigger();
    EXPECT_EQ(QApplication::topLevelWidgets().count(&levels()), 1);
    EXPECT_TRUE(levels().isVisible());
}

TEST_F(LevelWindowTest, SpeciesOptionsSwitchTheMainWindowsSpecies) {
    openFromMenu();
    diagram().pick(1, 5);
    QTest::mouseClick(levels().speciesButton(2), Qt::LeftButton, {}, QPoint(8, levels().speciesButton(2)->height() / 2));
    EXPECT_EQ(mainState(), "2 1 1 Z=2");
    EXPECT_EQ(tuple(view->actionFor(f.speciesMenuItems[1])->isChecked(), levels().spectrumLink()->isVisible()), tuple(true, false));

    // Levels below the scale are named instead of drawn.
    dialogs.inputs.push_back("7");
    view->actionFor(f.speciesMenuItems[4])->trigger();
    EXPECT_EQ(tuple(levels().speciesButton(0)->text(), levels().speciesButton(0)->isChecked()), tuple("Z = 7", true));
    EXPECT_TRUE(levels().belowAreaLabel()->isVisible());

    levels().speciesButton(1)->click();
    EXPECT_EQ(mainState(), "2 1 1 Z=1");
    EXPECT_EQ(tuple(levels().spectrumLink()->isVisible(), levels().belowAreaLabel()->isVisible()), tuple(true, false));
}

TEST_F(LevelWindowTest, RunsDisableTheWindowAndClosingKeepsBothConsistent) {
    openFromMenu();
    enableControls(s, false);
    EXPECT_FALSE(levels().isEnabled());
    // What a loaded point file did meanwhile shows once the run is over.
    const auto tell = s.windowHooks.levelsFollow;
    s.windowHooks.levelsFollow = nullptr;  // a load does not tell the diagram
    setOrbital(s, 2, 3, 1, 0, false);
    s.windowHooks.levelsFollow = tell;
    ASSERT_EQ(diagram().selectedIndex, 1);
    enableControls(s, true);
    EXPECT_EQ(tuple(levels().isEnabled(), levels().speciesButton(2)->isChecked()), tuple(true, true));
    EXPECT_EQ(levels().pickedLabel()->text(), "#8:  Z=2 n=3 l=1 m=0 E=-0.97 aJ");
    setOrbital(s, 1, 1, 0, 0, false);

    levels().close();
    EXPECT_FALSE(s.window.levelsOpen);
    clickSpinner(f.quantumSpinners[0], 1);  // nothing reaches the closed window
    EXPECT_EQ(tuple(mainState(), diagram().selectedIndex), tuple("2 0 0 Z=1", 1));

    openFromMenu();
    EXPECT_EQ(diagram().selectedIndex, 2);
}

TEST_F(LevelWindowTest, SpectrumLinkAndBackWithTheRealSpectrumWindow) {
    SpectrumWindowLink spectrum(s, view.get());
    openFromMenu();
    QTest::mouseClick(levels().spectrumLink(), Qt::LeftButton);
    ASSERT_NE(spectrum.openView(), nullptr);
    EXPECT_EQ(tuple(spectrum.openView()->isVisible(), s.window.spectrumOpen), tuple(true, true));
    EXPECT_EQ(tuple(levels().isVisible(), s.window.levelsOpen), tuple(false, false));

    // The levels menu item brings this window back and closes the spectrum.
    setOrbital(s, 1, 3, 2, 1, false);
    openFromMenu();
    QApplication::processEvents();
    EXPECT_EQ(tuple(spectrum.openView(), s.window.spectrumOpen, diagram().selectedIndex), tuple(nullptr, false, 13));
    view->actionFor(f.spectrumMenuItem)->trigger();
    EXPECT_EQ(tuple(levels().isVisible(), s.window.levelsOpen, spectrum.openView() != nullptr), tuple(false, false, true));
}

}  // namespace
}  // namespace vantrel::test
