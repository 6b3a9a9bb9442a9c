// The emission spectrum window on screen, opened from the main window's
// menu and driven with the pointer and the keyboard.
#include <QAction>
#include <QComboBox>
#include <QLabel>

#include <functional>
#include <tuple>

#include "app/mainwindow.h"
#include "app/orbitalcontrols.h"
#include "guitest.h"
#include "app/gui/spectrumwindowlink.h"
#include "spectrum/gui/spectrumview.h"

namespace vantrel::test {
namespace {

class SpectrumViewTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startWindow(true);
        installSpectrumWindow(view.get());
        windowHooks().showLevels = [this] { ++levelWindowShown; };
        view->actionFor(f.spectrumMenuItem)->trigger();
        spectrum = openSpectrumView();
        ASSERT_NE(spectrum, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(spectrum));
    }
    void TearDown() override {
        if (openSpectrumView()) delete openSpectrumView();
        windowHooks() = WindowHooks{};
        GuiTest::TearDown();
    }
    SpectrumWindow& state() { return spectrum->state(); }
    // Press, move half way and then to the end (`during` looks at the state
    // there), release.
    void dragOnDiagram(double x1, double y1, double x2, double y2, const std::function<void()>& during = {}) {
        QWidget* d = spectrum->diagram();
        QTest::mousePress(d, Qt::LeftButton, {}, spectrum->diagramPixel(x1, y1));
        QTest::mouseMove(d, spectrum->diagramPixel((x1 + x2) / 2, (y1 + y2) / 2));
        QTest::mouseMove(d, spectrum->diagramPixel(x2, y2));
        if (during) during();
        QTest::mouseRelease(d, Qt::LeftButton, {}, spectrum->diagramPixel(x2, y2));
    }
    QString listText(int i) { return spectrum->list(i)->currentText(); }

    SpectrumView* spectrum = nullptr;
    int levelWindowShown = 0;
};

TEST_F(SpectrumViewTest, OpensFromTheMenuAtItsSize) {
    EXPECT_TRUE(mainWindow().spectrumOpen);
    EXPECT_EQ(spectrum->windowTitle(), "Hydrogen Atom Emission Spectrum");
    EXPECT_EQ(spectrum->size(), QSize(386, 489));  // 5790 x 7335 twips
    EXPECT_EQ(std::tuple(spectrum->list(upperList)->count(), listText(upperList)), std::tuple(20, "SELECT A STATE"));
    EXPECT_EQ(spectrum->list(lowerList)->currentIndex(), -1);
    // The menu item again brings the same window forward.
    view->actionFor(f.spectrumMenuItem)->trigger();
    EXPECT_EQ(openSpectrumView(), spectrum);
}

TEST_F(SpectrumViewTest, DragAndStripClickShowTheTransitionEverywhere) {
    // 3 -> 2, inside the bands above the level lines.
    dragOnDiagram(1200, 570, 1200, 1070, [this] {
        // The photon of a jump from 3 down to the pointer, 30 above level 2:
        // ladder and strip share a scale, so 30 left of the 3 -> 2 line at 600.
        EXPECT_EQ(std::tuple(state().dragLine.visible, state().pointerAcross.visible), std::tuple(true, true));
        EXPECT_NEAR(state().pointerAcross.x1, 570, 10);
    });
    EXPECT_EQ(state().transitionText.caption, "n= 3 --> n=2:   0.303 attoJoule");
    EXPECT_EQ(listText(upperList), "3: E=-2.42E-19 Joule");
    EXPECT_EQ(o.currentN, 1);  // a drag is not a click on a level

    // The 4 -> 2 line on the strip; the nearest line to the pixel is taken.
    const int x = state().tables().lines[lineBetween(state().tables(), 4, 2)].x;
    QTest::mouseClick(spectrum->strip(), Qt::LeftButton, {}, spectrum->stripPixel(x, 600));
    EXPECT_EQ(state().wavelengthCaption.caption, "485 nm");
    EXPECT_EQ(listText(upperList), "4: E=-1.36E-19 Joule");

    // Choosing in the list the user's way runs the same reaction.
    spectrum->list(lowerList)->setCurrentIndex(3);
    EXPECT_EQ(state().transitionText.caption.substr(0, 13), "n= 4 --> n=1:");

    // Keys: Right from the strip walks to the next line to the right.
    spectrum->strip()->setFocus();
    const int before = state().currentLine;
    QTest::keyClick(spectrum->strip(), Qt::Key_Right);
    EXPECT_GT(state().tables().lines[state().currentLine].x, state().tables().lines[before].x);
}

TEST_F(SpectrumViewTest, ArrowKeysOnAFocusedListStillStepTheList) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(spectrum));
    state().showTransition(5, 3);
    spectrum->sync();
    QComboBox* lower = spectrum->list(lowerList);
    lower->setFocus();
    ASSERT_TRUE(lower->hasFocus());
    QTest::keyClick(lower, Qt::Key_Down);  // 5 and 3 are two apart: the focus stays below
    EXPECT_EQ(std::tuple(lower->hasFocus(), state().lowerState), std::tuple(true, 2));
    QTest::keyClick(lower, Qt::Key_Up);  // 5 and 2: not two apart
    EXPECT_EQ(std::tuple(lower->hasFocus(), state().lowerState), std::tuple(true, 3));
    QTest::keyClick(lower, Qt::Key_Up);  // two apart: the focus goes up, the list still steps
    EXPECT_TRUE(spectrum->list(upperList)->hasFocus());
    EXPECT_EQ(state().lowerState, 4);
    QTest::keyClick(spectrum->list(upperList), Qt::Key_Right);  // Right belongs to the list
    EXPECT_EQ(state().currentLine, lineBetween(state().tables(), 5, 4));
}

TEST_F(SpectrumViewTest, ClickOnALevelSetsTheMainWindowsN) {
    setOrbital(1, 5, 2, 1, false);
    view->syncAll();
    // Larger than designed: the hit tests follow the drawing.
    spectrum->resize(772, 978);
    QApplication::processEvents();
    EXPECT_DOUBLE_EQ(spectrum->scale(), 2.0 / 15);
    dragOnDiagram(1200, 395, 1200, 395);  // level 4 lies at 425
    QApplication::processEvents();
    EXPECT_EQ(std::tuple(o.currentZ, o.currentN, o.currentL, o.currentM), std::tuple(1, 4, 2, 1));
    EXPECT_EQ(edit(f.quantumText[0])->text(), "4");
    EXPECT_EQ(std::tuple(state().upperTag.caption, spectrum->list(upperList)->currentIndex()), std::tuple("n=4", -1));

    // "Energy Levels" closes this window and asks for the level window.
    QLabel* link = spectrum->energyLevelsLink();
    ASSERT_TRUE(link->isVisible());
    emit link->linkActivated("levels");
    QApplication::processEvents();
    EXPECT_FALSE(mainWindow().spectrumOpen);
    EXPECT_TRUE(mainWindow().levelsOpen);
    EXPECT_EQ(levelWindowShown, 1);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(openSpectrumView(), nullptr);
}

// The strip's 1-pixel lines in their exact colours (H-alpha pure red), the
// window beside the main window, not over it.
TEST_F(SpectrumViewTest, LinesInTheirExactColoursBesideTheMainWindow) {
    const QImage strip = spectrum->strip()->grab().toImage();
    const SpectrumTables& t = state().tables();
    EXPECT_EQ(t.lines[lineBetween(t, 3, 2)].color, 0x0000FFu);
    for (int upper = 3; upper <= 6; ++upper) {
        const SpectrumLine& line = t.lines[lineBetween(t, upper, 2)];
        const QColor want(int(line.color & 0xFF), int((line.color >> 8) & 0xFF), int((line.color >> 16) & 0xFF));
        const QPoint at = spectrum->stripPixel(line.x, stripHeight / 2);
        bool exact = false;
        for (int x = at.x() - 1; x <= at.x() + 1; ++x) exact = exact || strip.pixelColor(x, at.y()) == want;
        EXPECT_TRUE(exact) << upper << " -> 2: " << want.name().toStdString() << " vs "
                           << strip.pixelColor(at).name().toStdString();
    }

    delete spectrum;
    view->resize(320, 400);
    view->placeAtRightEdge();
    view->actionFor(f.spectrumMenuItem)->trigger();
    spectrum = openSpectrumView();
    ASSERT_NE(spectrum, nullptr);
    EXPECT_LE(spectrum->frameGeometry().right(), view->frameGeometry().left());
    EXPECT_EQ(spectrum->frameGeometry().top(), view->frameGeometry().top());
}

// Tags of neighbouring levels would run together ("n=18n=17"): the second
// one is left out; levels further apart keep both.
TEST_F(SpectrumViewTest, TagsThatWouldRunTogetherAreLeftOut) {
    for (auto [upper, lower, bothDrawn] : {std::tuple{18, 17, false}, {8, 5, true}}) {
        state().showTransition(upper, lower);
        spectrum->sync();
        const QImage both = spectrum->diagram()->grab().toImage();

        state().lowerTag.visible = false;
        spectrum->sync();
        EXPECT_EQ(spectrum->diagram()->grab().toImage() != both, bothDrawn) << upper << " -> " << lower;
    }
}

// While a run works on the main window's orbital no level can be picked
// here, as the level window is disabled then.
TEST_F(SpectrumViewTest, RunsTurnLevelPickingOff) {
    enableControls(false);
    EXPECT_FALSE(spectrum->diagram()->isEnabled());
    dragOnDiagram(1200, 395, 1200, 395);  // level 4
    EXPECT_EQ(o.currentN, 1);
    enableControls(true);
    EXPECT_TRUE(spectrum->diagram()->isEnabled());
    dragOnDiagram(1200, 395, 1200, 395);
    EXPECT_EQ(o.currentN, 4);
}

}  // namespace
}  // namespace vantrel::test
