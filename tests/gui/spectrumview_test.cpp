// The emission spectrum window opened from the main window's menu, driven
// with the pointer and the keyboard.
#include <QComboBox>
#include <QImage>

#include <functional>

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
    // Press, move half way and then to the end (`during` looks at the state
    // there), release.
    void dragOnDiagram(double x1, double y1, double x2, double y2, const std::function<void()>& during) {
        QWidget* d = spectrum->diagram();
        QTest::mousePress(d, Qt::LeftButton, {}, spectrum->diagramPixel(x1, y1));
        QTest::mouseMove(d, spectrum->diagramPixel((x1 + x2) / 2, (y1 + y2) / 2));
        QTest::mouseMove(d, spectrum->diagramPixel(x2, y2));
        during();
        QTest::mouseRelease(d, Qt::LeftButton, {}, spectrum->diagramPixel(x2, y2));
    }
    QString listText(int i) { return spectrum->list(i)->currentText(); }

    std::unique_ptr<SpectrumWindowLink> link;
    SpectrumView* spectrum = nullptr;
    int levelWindowShown = 0;
};

TEST_F(SpectrumViewTest, OpensFromTheMenuAtItsSizeBesideTheMainWindow) {
    EXPECT_EQ(spectrum->windowTitle(), "Hydrogen Atom Emission Spectrum");
    EXPECT_EQ(spectrum->size(), QSize(386, 489));  // 5790 x 7335 twips
    view->actionFor(f.spectrumMenuItem)->trigger();
    EXPECT_EQ(link->openView(), spectrum);

    // Beside the main window, not over it; the level window too where it fits.
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

// Not while a run works on the main window's orbital.
TEST_F(SpectrumViewTest, ClickOnALevelSetsTheMainWindowsN) {
    setOrbital(s, 1, 5, 2, 1, false);
    view->syncAll();
    enableControls(s, false);
    EXPECT_FALSE(spectrum->diagram()->isEnabled());
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

TEST_F(SpectrumViewTest, DragAndStripClickShowTheTransitionEverywhere) {
    // 3 -> 2, inside the bands above the level lines.
    dragOnDiagram(1200, 570, 1200, 1070, [this] {
        // The photon of a jump from 3 down to the pointer, 30 above level 2:
        // ladder and strip share a scale, so 30 left of the 3 -> 2 line at 600.
        EXPECT_EQ(tuple(state().dragLine.visible, state().pointerAcross.visible), tuple(true, true));
        EXPECT_NEAR(state().pointerAcross.x1, 570, 10);
    });
    EXPECT_EQ(tuple(state().transitionText.caption, listText(upperList)),
              tuple("n= 3 --> n=2:   0.303 attoJoule", "3: E=-2.42E-19 Joule"));
    EXPECT_EQ(o.currentN, 1);  // a drag is not a click on a level

    // The 4 -> 2 line on the strip; the nearest line to the pixel is taken.
    const int x = state().tables().lines[lineBetween(state().tables(), 4, 2)].x;
    QTest::mouseClick(spectrum->strip(), Qt::LeftButton, {}, spectrum->stripPixel(x, 600));
    EXPECT_EQ(tuple(state().wavelengthCaption.caption, listText(upperList)), tuple("485 nm", "4: E=-1.36E-19 Joule"));

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
    spectrum->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(spectrum));
    state().showTransition(5, 3);
    spectrum->sync();
    QComboBox* lower = spectrum->list(lowerList);
    lower->setFocus();
    ASSERT_TRUE(lower->hasFocus());
    QTest::keyClick(lower, Qt::Key_Down);  // 5 and 3 are two apart: the focus stays below
    EXPECT_EQ(tuple(lower->hasFocus(), state().lowerState), tuple(true, 2));
    QTest::keyClick(lower, Qt::Key_Up);  // 5 and 2: not two apart
    EXPECT_EQ(tuple(lower->hasFocus(), state().lowerState), tuple(true, 3));
    QTest::keyClick(lower, Qt::Key_Up);  // two apart: the focus goes up, the list still steps
    EXPECT_EQ(tuple(spectrum->list(upperList)->hasFocus(), state().lowerState), tuple(true, 4));
    QTest::keyClick(spectrum->list(upperList), Qt::Key_Right);  // Right belongs to the list
    EXPECT_EQ(state().currentLine, lineBetween(state().tables(), 5, 4));
}

// The strip's 1-pixel lines in the exact colours of the line table.
TEST_F(SpectrumViewTest, LinesInTheirExactColours) {
    const QImage strip = spectrum->strip()->grab().toImage();
    const SpectrumTables& t = state().tables();
    for (int upper = 3; upper <= 6; ++upper) {
        const SpectrumLine& line = t.lines[lineBetween(t, upper, 2)];
        const QColor want(int(line.color & 0xFF), int((line.color >> 8) & 0xFF), int((line.color >> 16) & 0xFF));
        const QPoint at = spectrum->stripPixel(line.x, stripHeight / 2);
        bool exact = false;
        for (int x = at.x() - 1; x <= at.x() + 1; ++x) exact = exact || strip.pixelColor(x, at.y()) == want;
        EXPECT_TRUE(exact) << upper << " -> 2: " << want.name().toStdString() << " vs "
                           << strip.pixelColor(at).name().toStdString();
    }
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

}  // namespace
}  // namespace vantrel::test
