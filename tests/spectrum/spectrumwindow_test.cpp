// The spectrum window's state driven as a user drives it: the lists, drags
// on the level diagram, clicks and drags on the strip, the arrow keys, and
// what each shows.
#include "spectrum/spectrumwindow.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <vector>

namespace vantrel {
namespace {

using std::tuple;
const tuple<bool, bool, bool> none{false, false, false};

class SpectrumWindowTest : public ::testing::Test {
protected:
    SpectrumWindowTest()
        : w(SpectrumLinks{[this](int n) { picked.push_back(n); }, [] {},
                          [](const std::string& s) { return 100.0 * double(s.size()); }}) {}

    const SpectrumTables& t() { return w.tables(); }
    // Press on one point of the diagram, move to another, release there.
    void drag(float x1, float y1, float x2, float y2) {
        w.diagramPressed(x1, y1);
        w.diagramMoved(x2, y2, true);
        w.diagramReleased(x2, y2);
    }
    void click(float x, float y) { drag(x, y, x, y); }
    void expectTransition(int upper, int lower) {
        EXPECT_EQ(w.upperState, upper);
        EXPECT_EQ(w.lowerState, lower);
        EXPECT_EQ(w.currentLine, lineBetween(t(), upper, lower));
        EXPECT_EQ(tuple(w.pointerAbove.visible, w.pointerBelow.visible, w.pointerAcross.visible), tuple(true, true, false));
        EXPECT_EQ(w.pointerAbove.x1, t().lines[w.currentLine].x);
        EXPECT_EQ(w.lists[upperList].position, 21 - upper);
        EXPECT_EQ(w.lists[lowerList].position, upper - lower);
    }
    void expectNoTransition() {
        EXPECT_EQ(w.upperState, 0);
        EXPECT_EQ(w.lowerState, 0);
        EXPECT_EQ(tuple(w.pointerAbove.visible, w.wavelengthCaption.visible, w.frequencyCaption.visible), none);
        EXPECT_EQ(tuple(w.mainArrow.visible, w.magnifiedArrow.visible, w.transitionText.visible), none);
    }

    std::vector<int> picked;
    SpectrumWindow w;
};

TEST_F(SpectrumWindowTest, OpensWithNothingSelectedAndListsOrCallsShowATransition) {
    const StateList& upper = w.lists[upperList];
    ASSERT_EQ(upper.items.size(), 20u);
    EXPECT_EQ(tuple(upper.items[0], upper.items[1], upper.items[19]),
              tuple("SELECT A STATE", "20: E=-5.45E-21 Joule", "2: E=-5.45E-19 Joule"));
    EXPECT_EQ(upper.position, 0);
    EXPECT_EQ(w.lists[lowerList].items, std::vector<std::string>{"SELECT A STATE"});
    EXPECT_EQ(w.lists[lowerList].position, -1);
    expectNoTransition();
    EXPECT_EQ(tuple(w.hoverTag.visible, w.upperTag.visible, w.lowerTag.visible), none);

    w.selectListPosition(upperList, 21 - 3);
    EXPECT_EQ(w.lists[lowerList].items,
              (std::vector<std::string>{"SELECT A STATE", "2: E=-5.45E-19 Joule", "1: E=-2.18E-18 Joule"}));
    expectTransition(3, 2);
    // The lower level is kept while it stays below the new upper one; 5 is
    // not below 4, so 4 takes the level just below.
    for (auto [list, position, upper, lower] : {std::tuple{upperList, 21 - 8, 8, 2}, {lowerList, 8 - 5, 8, 5},
                                                 {upperList, 21 - 4, 4, 3}}) {
        w.selectListPosition(list, position);
        expectTransition(upper, lower);
    }

    // "SELECT A STATE" below clears; above it only empties the lower list.
    w.selectListPosition(lowerList, 0);
    expectNoTransition();
    w.selectListPosition(upperList, 21 - 3);
    w.selectListPosition(upperList, 0);
    EXPECT_EQ(tuple(w.upperState, w.lists[lowerList].items.size(), w.lists[lowerList].position), tuple(0, 1u, -1));
    EXPECT_TRUE(w.mainArrow.visible);  // the drawn transition stays until the next action

    // Crowded levels get tags on the magnified ladder.
    w.showTransition(2, 5);  // either order
    EXPECT_EQ(tuple(w.upperState, w.upperTag.caption, w.upperMagnifiedTag.visible), tuple(5, "n=5", false));
    w.showTransition(20, 19);
    EXPECT_EQ(tuple(w.upperMagnifiedTag.visible, w.lowerMagnifiedTag.visible), tuple(true, true));
}

TEST_F(SpectrumWindowTest, DragFromThreeToTwo) {
    drag(1200, 600, 1200, 1100);
    expectTransition(3, 2);
    EXPECT_FALSE(w.magnifiedArrow.visible);  // 3 is not above 6
    EXPECT_EQ(tuple(w.mainArrow.visible, w.mainArrow.x1, w.mainArrow.y1, w.mainArrow.y2, w.mainArrow.color),
              tuple(true, 1150, 620, 1080, redColor));
    EXPECT_EQ(tuple(w.transitionText.visible, w.transitionText.caption), tuple(true, "n= 3 --> n=2:   0.303 attoJoule"));
    EXPECT_EQ(tuple(w.frequencyCaption.caption, w.wavelengthCaption.caption), tuple("4.57E+14 Hz", "654 nm"));

    drag(2800, 2404, 2800, 3200);  // on the magnified ladder
    expectTransition(7, 6);
    EXPECT_EQ(tuple(w.mainArrow.visible, w.magnifiedArrow.visible, w.magnifiedArrow.y1), tuple(true, true, 2424));
    EXPECT_EQ(w.magnifiedArrow.color, w.mainArrow.color);
    click(1800, 2000);
    drag(1200, 284, 1200, 344);  // 300 itself lies within 60 of level 5
    expectTransition(6, 5);
    EXPECT_FALSE(w.magnifiedArrow.visible);

    // Pressing on either end of the shown transition drags from the other.
    for (auto [fromY, toY, lower] : {std::tuple{284, 1100, 2}, {1100, 425, 4}}) {
        drag(1200, fromY, 1200, toY);
        expectTransition(5, lower);
    }
    // Released away from any level: nothing selected.
    drag(1200, 425, 1800, 2000);
    expectNoTransition();
    EXPECT_TRUE(picked.empty());  // no click on a single level
}

TEST_F(SpectrumWindowTest, RubberBandTakesThePhotonColourWhileDragging) {
    w.diagramPressed(1200, 1100);
    EXPECT_EQ(tuple(w.dragStart, w.dragLine.visible, w.dragLine.x1, w.dragLine.y1), tuple(2, true, 1150, 1100));
    EXPECT_EQ(w.upperTag.caption, "n=2");
    const std::tuple<float, float, std::uint32_t> path[] = {
        {1200, 633, greyColor},   {1200, 632, redColor},    {1200, 560, orangeColor}, {1200, 540, yellowColor},
        {1200, 480, greenColor},  {1200, 440, tealColor},   {1200, 400, blueColor},   {1200, 300, violetColor},
        {1200, 282, greyColor},   {2800, 3000, violetColor}, {2800, 470, greyColor}};  // x >= 2600: magnified scale
    for (auto [x, y, color] : path) {
        w.diagramMoved(x, y, true);
        EXPECT_EQ(tuple(w.dragLine.color, w.dragLine.x2, w.dragLine.y2), tuple(color, x, y));
    }
    // The free pointer shows that photon on the strip.
    w.diagramMoved(1200, 600, true);
    EXPECT_EQ(tuple(w.pointerAcross.visible, w.pointerAcross.x1), tuple(true, stripX(t().lines[20].energy)));
    EXPECT_EQ(w.wavelengthCaption.caption, "654 nm");
    EXPECT_EQ(tuple(w.hoverTag.visible, w.hoverTag.caption), tuple(true, "n=3"));
    // Far below level 1 the photon lies beyond the strip: the pointer hides.
    w.diagramMoved(1200, 4800, true);
    EXPECT_EQ(tuple(w.pointerAcross.visible, w.frequencyCaption.visible), tuple(false, false));
    // Moving without a button only moves the hover tag.
    w.diagramReleased(1200, 4800);
    w.diagramMoved(2800, 2404, false);
    EXPECT_EQ(tuple(w.hoverTag.caption, w.hoverTag.left, w.dragLine.visible), tuple("n=7", 2150, false));
}

TEST_F(SpectrumWindowTest, ClickOnALevelHandsItToTheMainWindow) {
    w.showTransition(5, 2);
    click(1200, 425);
    EXPECT_EQ(picked, std::vector<int>{4});
    EXPECT_EQ(tuple(w.upperState, w.lowerState, w.upperTag.visible, w.upperTag.caption), tuple(4, 0, true, "n=4"));
    EXPECT_EQ(tuple(w.lowerTag.visible, w.transitionText.visible, w.pointerAbove.visible), none);
    EXPECT_EQ(tuple(w.lists[upperList].position, w.lists[lowerList].position), tuple(-1, -1));

    click(1800, 2000);  // empty space
    EXPECT_EQ(picked, std::vector<int>{4});
    EXPECT_EQ(tuple(w.upperState, w.upperTag.visible), tuple(0, false));
}

TEST_F(SpectrumWindowTest, StripClickPicksTheNearestLineAndDragReadsFreely) {
    w.stripMoved(3700, true);
    EXPECT_EQ(tuple(w.pointerAcross.visible, w.frequencyCaption.caption, w.wavelengthCaption.caption),
              tuple(true, "3.29E+15 Hz", "90.9 nm"));
    // Captions kept inside the strip: 50 short of its right edge...
    EXPECT_EQ(w.frequencyCaption.left + 1100, 4095 - 50);
    w.stripMoved(100, true);
    EXPECT_EQ(tuple(w.wavelengthCaption.caption, w.frequencyCaption.caption), tuple("0 nm", "0.00E+0 Hz"));
    EXPECT_EQ(tuple(w.wavelengthCaption.left, w.frequencyCaption.left), tuple(20, 20));  // ...and from 20 at its left end
    w.stripMoved(2000, true);
    EXPECT_EQ(tuple(w.pointerAcross.x1, w.frequencyCaption.left), tuple(2000, 2000 - 550));  // centred
    w.stripMoved(50, true);
    EXPECT_EQ(tuple(w.pointerAbove.visible, w.pointerAcross.visible, w.frequencyCaption.visible), none);
    w.stripMoved(2000, false);
    EXPECT_FALSE(w.pointerAbove.visible);

    // A line number puts the pointers on that line wherever x was.
    w.setSpectrumPointers(7, 0, true);
    EXPECT_EQ(tuple(w.currentLine, w.pointerBelow.x1), tuple(7, t().lines[7].x));
    EXPECT_EQ(tuple(w.pointerBelow.y1, w.pointerBelow.y2, w.pointerAbove.y2), tuple(800, 900, 300));
    w.setSpectrumPointers(0, 50, true);
    EXPECT_EQ(tuple(w.pointerAbove.visible, w.pointerBelow.visible, w.wavelengthCaption.visible), none);
}

TEST_F(SpectrumWindowTest, LeftAndRightWalkTheStrip) {
    using enum SpectrumKey;
    w.keyDown(Right);  // from x = 0: the lowest-numbered line at x = 101, 185
    expectTransition(18, 17);
    w.keyDown(Right);  // 188 and 190 share x = 101 and are stepped over
    EXPECT_GT(t().lines[w.currentLine].x, 101);
    // From the ends the walk wraps: 19 is the rightmost line, 190 the leftmost.
    for (auto [from, key, to] : {std::tuple{w.currentLine, Left, 185}, {19, Right, 190}, {190, Left, 19}}) {
        w.showSpectrumLine(from);
        w.keyDown(key);
        EXPECT_EQ(w.currentLine, to) << from;
    }
    w.showSpectrumLine(190 + 19);  // brought into 1..190
    EXPECT_EQ(w.currentLine, 19);
    w.showSpectrumLine(0);
    expectNoTransition();
}

TEST_F(SpectrumWindowTest, UpAndDownWalkTheLineTableButNeverBelowLevelOne) {
    using enum SpectrumKey;
    const std::tuple<SpectrumKey, int, int, int, int> steps[] = {
        {Up, 20, 1, 3, 2},    {Up, 20, 19, 2, 1},  {Up, 4, 2, 5, 2},
        {Down, 2, 1, 20, 19}, {Down, 3, 2, 20, 1}, {Down, 5, 2, 4, 2}};
    for (auto [key, fromUpper, fromLower, upper, lower] : steps) {
        w.showTransition(fromUpper, fromLower);
        w.keyDown(key);
        expectTransition(upper, lower);
    }

    // Down after a click on empty space, a click on level 1, or "SELECT A STATE"
    // in the upper list would step to level -1: the selection clears instead.
    const std::function<void()> starts[] = {
        [this] { click(1800, 2000); },  // empty space
        [this] { click(1200, 3800); },  // level 1
        [this] { w.showTransition(3, 2), w.selectListPosition(upperList, 0); }};
    for (const auto& start : starts) {
        start();
        w.keyDown(Down);
        expectNoTransition();
    }
    // Up from "SELECT A STATE" reaches a real line.
    starts[2]();
    w.keyDown(Up);
    EXPECT_EQ(tuple(w.upperState, w.lowerState), tuple(2, 1));

    // Between the two lists the focus moves only when they are two levels apart.
    w.showTransition(5, 3);
    w.focusedList = lowerList;
    std::vector<int> focus;
    for (SpectrumKey key : {Up, Up, Down, Down}) w.keyDown(key), focus.push_back(w.focusedList);
    EXPECT_EQ(focus, (std::vector<int>{upperList, upperList, lowerList, lowerList}));
    expectTransition(5, 3);
}

// Numbers read from list texts or handed in from outside never index past
// the tables; a level paired with itself is no transition either.
TEST_F(SpectrumWindowTest, StrayNumbersClearTheSelection) {
    w.lists[upperList].items[5] = "99: not a level";
    w.selectListPosition(upperList, 5);
    EXPECT_EQ(tuple(w.upperState, w.lists[lowerList].items.size()), tuple(0, 1u));
    w.selectListPosition(upperList, 40);  // no such position
    EXPECT_EQ(w.lists[upperList].position, 5);

    for (auto [a, b] : {std::pair{21, 3}, {-1, 2}, {0, 5}, {20, -1}, {32767, 1}, {7, 7}}) {
        w.showTransition(3, 2);
        w.showTransition(a, b);
        expectNoTransition();
    }
    w.showSpectrumLine(-7);
    expectNoTransition();
    int level = 25;
    w.showDrag(1200, 600, level, DragMode::Press);
    EXPECT_EQ(tuple(level, w.dragStart), tuple(0, 0));
    w.setSpectrumPointers(500, 2000, true);  // no such line: a free pointer
    EXPECT_TRUE(w.pointerAcross.visible);
}

}  // namespace
}  // namespace vantrel
