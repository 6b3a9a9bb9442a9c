// The level diagram window on screen on its own, driven with the pointer
// and the keys; a stand-in main window adopts every orbital picked.
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "levels/gui/leveldiagramarea.h"
#include "levels/gui/leveldiagramwindow.h"
#include "levels/leveldiagram.h"
#include "widgets/guardedaction.h"  // ScriptedDialogs

namespace vantrel {
namespace {

class LevelWindowAloneTest : public ::testing::Test {
protected:
    void SetUp() override {
        diagram.hooks.mainOrbital = [this] { return main; };
        diagram.hooks.setOrbital = [this](const OrbitalNumbers& o) {
            main = o;
            diagram.setUp(o.z, o.n, o.l, o.m);
        };
        window.open();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    LevelDiagramArea* area() { return window.area(); }
    // The pixel on the bar of marker k of the column shown.
    QPoint markerPoint(int k) {
        const LevelMarker& m = diagram.visibleColumn()[k];
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

    OrbitalNumbers main;
    LevelDiagram diagram;
    ScriptedDialogs dialogs;
    LevelDiagramWindow window{diagram, dialogs};
};

TEST_F(LevelWindowAloneTest, ClickOnAMarkerPicksItsOrbital) {
    hover(markerPoint(7));
    EXPECT_EQ(area()->toolTip(), "Z=1 n=3 l=1 m=-1 E=-0.24 aJ");
    clickMarker(7);
    EXPECT_EQ(main, (OrbitalNumbers{1, 3, 1, -1}));
    EXPECT_TRUE(diagram.visibleColumn()[7].selected());

    // At another size the same markers are hit.
    window.resize(window.width() * 3 / 2, window.height() * 3 / 2);
    QApplication::processEvents();
    clickMarker(12);
    EXPECT_EQ(main, (OrbitalNumbers{1, 3, 2, 0}));
}

TEST_F(LevelWindowAloneTest, ArrowKeysWalkWhileTheDiagramHasTheFocus) {
    clickMarker(2);
    ASSERT_TRUE(area()->hasFocus());
    QTest::keyClick(area(), Qt::Key_Right);
    EXPECT_EQ(main, (OrbitalNumbers{1, 2, 1, -1}));

    // Keys elsewhere in the window do not walk.
    window.speciesButton(1)->setFocus();
    QTest::keyClick(window.energyLabel(), Qt::Key_Up);
    EXPECT_EQ(main, (OrbitalNumbers{1, 2, 1, -1}));
}

// The bars come out in their colours.
TEST_F(LevelWindowAloneTest, MarkersAreDrawnInTheirColours) {
    window.resize(std::max(window.width(), 700), window.height());
    QApplication::processEvents();
    window.speciesButton(3)->click();
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

}  // namespace
}  // namespace vantrel
