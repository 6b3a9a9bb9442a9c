// The level diagram window beside the real main window, its reactions and
// engine, driven with the pointer and the keys.
#include <QImage>
#include <QMouseEvent>
#include <QRadioButton>

#include <algorithm>
#include <set>

#include "app/gui/levelwindowlink.h"
#include "app/gui/spectrumwindowlink.h"
#include "guitest.h"
#include "levels/gui/leveldiagramarea.h"
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
    LevelDiagramArea* area() { return levels().area(); }

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
    // The pixel on the bar of marker k of the column shown.
    QPoint markerPoint(int k) {
        const LevelMarker& m = diagram().visibleColumn()[k];
        return area()->pixelsOf(m.left + 125, m.top + 165).toPoint();
    }
    // A pointer move with no button held, sent to the diagram itself (the
    // test cursor would find whichever window lies on top there).
    void hover(QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, area()->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(area(), &move);
    }
    void clickMarker(int k) {
        hover(markerPoint(k));
        QTest::mouseClick(area(), Qt::LeftButton, {}, markerPoint(k));
    }
    std::unique_ptr<LevelWindowLink> link;
};

TEST_F(LevelWindowTest, MenuOpensTheWindowWhichFollowsTheMainWindow) {
    openFromMenu();
    EXPECT_EQ(levels().windowTitle(), "Compare Orbital Energies");
    EXPECT_EQ(tuple(levels().speciesButton(1)->isChecked(), levels().spectrumLink()->isVisible()), tuple(true, true));
    EXPECT_EQ(levels().pickedLabel()->text(), "#1:  Z=1 n=1 l=0 m=0 E=-2.18 aJ");

    for (int i : {0, 1, 2}) type(f.quantumText[i], i == 0 ? "2" : i == 1 ? "1" : "-1");
    view->actionFor(f.speciesMenuItems[1])->trigger();
    EXPECT_TRUE(levels().speciesButton(2)->isChecked());
    EXPECT_EQ(levels().pickedLabel()->text(), "#3:  Z=2 n=2 l=1 m=-1 E=-2.18 aJ");

    // The menu item again leaves the window open.
    view->actionFor(f.compareEnergiesMenuItem)->trigger();
    EXPECT_TRUE(levels().isVisible());
}

TEST_F(LevelWindowTest, MarkersKeysAndSpeciesOptionsSetTheMainWindowsOrbital) {
    openFromMenu();
    hover(markerPoint(7));
    EXPECT_EQ(area()->toolTip(), "Z=1 n=3 l=1 m=-1 E=-0.24 aJ");
    clickMarker(5);
    EXPECT_EQ(mainState(), "2 1 1 Z=1");
    EXPECT_TRUE(diagram().visibleColumn()[5].selected());

    // At another size the same markers are hit.
    levels().resize(levels().width() * 3 / 2, levels().height() * 3 / 2);
    QApplication::processEvents();
    clickMarker(2);
    EXPECT_EQ(mainState(), "2 0 0 Z=1");
    ASSERT_TRUE(area()->hasFocus());
    QTest::keyClick(area(), Qt::Key_Right);
    EXPECT_EQ(mainState(), "2 1 -1 Z=1");
    // Keys elsewhere in the window do not walk.
    levels().speciesButton(1)->setFocus();
    QTest::keyClick(levels().energyLabel(), Qt::Key_Up);
    EXPECT_EQ(mainState(), "2 1 -1 Z=1");

    clickMarker(5);
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

TEST_F(LevelWindowTest, MarkersAreDrawnInTheirColours) {
    openFromMenu();
    levels().resize(std::max(levels().width(), 700), levels().height());
    QApplication::processEvents();
    levels().speciesButton(3)->click();
    clickMarker(8);
    QTest::keyClick(area(), Qt::Key_Right);
    QApplication::processEvents();
    const QImage picture = area()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    std::set<QRgb> drawn;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) drawn.insert(picture.pixel(x, y));
    for (QColor colour : {QColor(255, 0, 0), QColor(0, 0, 255), QColor(148, 0, 211)})
        EXPECT_TRUE(drawn.count(colour.rgb())) << colour.name().toStdString();
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

    levels().close();
    EXPECT_FALSE(s.window.levelsOpen);
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
    EXPECT_EQ(diagram().selectedIndex, 1);  // nothing reaches the closed window
    openFromMenu();
    QApplication::processEvents();
    EXPECT_EQ(tuple(spectrum.openView(), s.window.spectrumOpen, diagram().selectedIndex), tuple(nullptr, false, 13));
    view->actionFor(f.spectrumMenuItem)->trigger();
    EXPECT_EQ(tuple(levels().isVisible(), s.window.levelsOpen, spectrum.openView() != nullptr), tuple(false, false, true));
}

}  // namespace
}  // namespace vantrel::test
