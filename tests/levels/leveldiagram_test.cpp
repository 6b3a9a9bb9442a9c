#include "levels/leveldiagram.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace vantrel {

void PrintTo(const OrbitalNumbers& s, std::ostream* os) { *os << s.z << " " << s.n << " " << s.l << " " << s.m; }

namespace {

using Orbital = OrbitalNumbers;

// The diagram alone, with a stand-in for the main window: it adopts every
// orbital handed to it and, like the real one, calls setUp back (once at a
// time).
class LevelDiagramTest : public ::testing::Test {
protected:
    LevelDiagramTest() {
        d.hooks.mainOrbital = [this] { return main; };
        d.hooks.dropCloud = [this] { cloudPoints = 0; };
        d.hooks.setOrbital = [this](const Orbital& o) {
            if (inMain) return;  // the main window's own guard
            picks.push_back(o);
            inMain = true;
            follow(o.z, o.n, o.l, o.m);
            inMain = false;
        };
    }
    // The main window moves to a state and tells the diagram.
    void follow(int z, int n, int l, int m) {
        main = {z, n, l, m};
        d.setUp(z, n, l, m);
    }
    void openAt(int z, int n, int l, int m) {
        main = {z, n, l, m};
        d.load();
        picks.clear();
    }
    const LevelMarker& marker(int column, int k) { return d.columns[column][k]; }
    // A point on the bar of marker k of the column shown.
    void pointAt(int k, double dx = 125, double dy = 165) {
        const LevelMarker& m = d.visibleColumn()[k];
        d.pointerMove(m.left + dx, m.top + dy);
    }
    void clickOn(int k) {
        pointAt(k);
        d.pointerPress();
        d.pointerRelease();
    }
    std::vector<int> visibleColumns() {
        std::vector<int> shown;
        for (int c = 0; c < 4; ++c)
            if (marker(c, 1).visible) shown.push_back(c);
        return shown;
    }
    int selectedCount(int column) {
        int count = 0;
        for (int k = 1; k <= 14; ++k) count += marker(column, k).selected();
        return count;
    }

    LevelDiagram d;
    Orbital main;
    int cloudPoints = 0;  // points of the main window's cloud
    std::vector<Orbital> picks;
    bool inMain = false;
};

TEST_F(LevelDiagramTest, ColumnsAndAxisAreBuiltOnceInMarkerOrder) {
    EXPECT_NEAR(LevelDiagram::levelY(1, 1), 535.97472, 1e-3);
    d.createColumn(1);
    d.createColumn(1);  // built again over the same markers
    EXPECT_EQ(d.stateCount, 14);
    EXPECT_EQ(d.columns[1].size(), 15u);
    EXPECT_EQ(marker(1, 3).tag, "#3:  Z=1 n=2 l=1 m=-1 E=-0.54 aJ");
    EXPECT_EQ(marker(1, 14).tag, "#14:  Z=1 n=3 l=2 m=2 E=-0.24 aJ");
    // Rows of 1, 4 and 9 markers, 400 apart from 800, coloured by l.
    for (auto [k, left] : {std::pair{1, 800}, {5, 2000}, {6, 800}, {14, 4000}}) EXPECT_EQ(marker(1, k).left, left) << k;
    EXPECT_FLOAT_EQ(marker(1, 6).top, LevelDiagram::levelY(1, 3));
    for (auto [k, color] : {std::pair{6, markerRed}, {9, markerBlue}, {10, markerViolet}}) EXPECT_EQ(marker(1, k).color, color) << k;

    d.hooks.textWidth = [](const std::string& t) { return 100.0 * t.size(); };
    d.createAxis();
    d.createAxis();
    ASSERT_EQ(d.axisLabels.size(), 13u);
    EXPECT_FALSE(d.axisLabels[0].visible);
    EXPECT_EQ(d.axisLabels[1].caption, "0.0- ");
}

TEST_F(LevelDiagramTest, OpensOnTheMainWindowsState) {
    openAt(1, 1, 0, 0);
    EXPECT_EQ(visibleColumns(), std::vector<int>{1});
    EXPECT_EQ(d.pickedTag, "#1:  Z=1 n=1 l=0 m=0 E=-2.18 aJ");
    EXPECT_EQ(d.selectedIndex, 1);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(std::tuple(marker(c, 1).selected(), selectedCount(c)), std::tuple(true, 1)) << c;
    EXPECT_TRUE(d.spectrumLinkVisible);
    EXPECT_TRUE(d.energyText.starts_with(" n=1 l=0 m=0 \r\n\r\n  E = -2.18 attoJoule")) << d.energyText;

    // Opened again after a close, nothing of the last session is left.
    d.speciesOptions[0].caption = "Z = 9";
    openAt(2, 2, 1, 0);
    EXPECT_EQ(d.speciesOptions[0].caption, "Z = 4");
    EXPECT_EQ(visibleColumns(), std::vector<int>{2});
    EXPECT_FALSE(d.spectrumLinkVisible);
    EXPECT_EQ(d.pickedTag, "#4:  Z=2 n=2 l=1 m=0 E=-2.18 aJ");

    // Opened with Z = 7 already chosen, its column is the one shown (not
    // H's), and levels below the scale are named; Li+2 n = 1 (-19.6 aJ) is not.
    openAt(7, 1, 0, 0);
    EXPECT_EQ(d.speciesOptions[0].caption, "Z = 7");
    EXPECT_EQ(visibleColumns(), std::vector<int>{0});
    EXPECT_EQ(d.belowAreaNote(), "Below the scale: n=1 at -106.81 aJ, n=2 at -26.70 aJ");
    openAt(3, 1, 0, 0);
    EXPECT_EQ(d.belowAreaNote(), "");
    openAt(120, 4, 0, 0);
    EXPECT_EQ(d.levelsBelowArea(), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(LevelDiagramTest, SpeciesChangesFromTheMainWindowOrTheDiagram) {
    openAt(1, 2, 1, 1);
    follow(7, 2, 1, 1);
    EXPECT_EQ(std::tuple(d.speciesOptions[0].caption, d.speciesOptions[0].checked), std::tuple("Z = 7", true));
    EXPECT_EQ(visibleColumns(), std::vector<int>{0});
    EXPECT_EQ(d.pickedTag, "#5:  Z=7 n=2 l=1 m=1 E=-26.70 aJ");
    EXPECT_EQ(d.stateCount, 14);
    // The main window moved on from H 2 1 0 to Z = 7, 3 0 0: the old pick must not come back.
    openAt(1, 2, 1, 0);
    follow(7, 3, 0, 0);
    EXPECT_TRUE(picks.empty());
    EXPECT_EQ(main, (Orbital{7, 3, 0, 0}));
    EXPECT_EQ(d.pickedTag, marker(0, 6).tag);

    // Changed in the diagram, the species keeps the picked state.
    openAt(1, 1, 0, 0);
    clickOn(5);
    d.chooseSpecies(2);
    EXPECT_EQ(d.selectedIndex, 5);
    EXPECT_EQ(d.pickedTag, marker(2, 5).tag);
    EXPECT_EQ(visibleColumns(), std::vector<int>{2});

    // Right after a key the species still follows.
    ASSERT_TRUE(d.arrowKey(LevelArrowKey::Left));
    d.chooseSpecies(3);
    EXPECT_EQ(main, (Orbital{3, 2, 1, 0}));

    // With no marker picked (level 5) the species changes all the same.
    openAt(1, 5, 2, 0);
    d.chooseSpecies(2);
    EXPECT_EQ(main, (Orbital{2, 5, 2, 0}));
    EXPECT_TRUE(d.bareLevel.visible);
    EXPECT_FLOAT_EQ(d.bareLevel.top, LevelDiagram::levelY(2, 5));
}

TEST_F(LevelDiagramTest, PointerPicksTheStateUnderItAndSetUpCalledBackReturnsAtOnce) {
    openAt(1, 1, 0, 0);
    cloudPoints = 500;
    follow(1, 3, 2, -1);
    EXPECT_EQ(d.selectedIndex, 11);
    EXPECT_EQ(std::tuple(picks.size(), cloudPoints), std::tuple(0u, 500));  // following hands nothing back, keeps the cloud

    clickOn(3);
    // One hand-over: the main window's call back did not pick again; a new
    // orbital's cloud is not sampled yet.
    EXPECT_EQ(picks, (std::vector<Orbital>{{1, 2, 1, -1}}));
    EXPECT_EQ(main, (Orbital{1, 2, 1, -1}));
    EXPECT_EQ(cloudPoints, 0);
    EXPECT_FALSE(d.inSetUp);
    EXPECT_EQ(d.pickedTag, marker(1, 3).tag);  // the main window's setUp tidied the double tag
    EXPECT_EQ(std::tuple(marker(1, 3).selected(), marker(1, 11).selected()), std::tuple(true, false));

    // A main window that answers with another state: the inner setUp must
    // leave the outer one's highlight alone.
    d.hooks.setOrbital = [this](const Orbital&) { d.setUp(1, 3, 0, 0); };
    d.setUp(1, 2, 1, 1);
    EXPECT_EQ(d.selectedIndex, 5);
    EXPECT_EQ(d.pickedTag, marker(1, 5).tag);
    EXPECT_FALSE(d.inSetUp);

    // Press on one marker, release on another: the first one counts.
    openAt(1, 1, 0, 0);
    d.hooks.setOrbital = [this](const Orbital& o) { picks.push_back(o); };
    pointAt(2);
    d.pointerPress();
    pointAt(9);
    d.pointerRelease();
    EXPECT_EQ(d.pickedTag, marker(1, 2).tag + "--->" + marker(1, 9).tag);
    EXPECT_EQ(picks, (std::vector<Orbital>{{1, 2, 0, 0}}));

    // Between markers and just outside a bar's band nothing is hit; just inside it is.
    const std::string before = d.pickedTag;
    for (auto [dx, dy, hit] : {std::tuple{300.0, 165.0, false}, {0.0, 165.0, false}, {250.0, 165.0, false},
                               {125.0, 130.0, false}, {125.0, 200.0, false}, {249.0, 199.0, true}, {1.0, 131.0, true}}) {
        pointAt(1, dx, dy);
        EXPECT_EQ(d.hoveredTag, hit ? marker(1, 1).tag : "") << dx << " " << dy;
    }
    pointAt(1, 300, 165);
    d.pointerPress();
    d.pointerRelease();
    EXPECT_EQ(d.pickedTag, before);
}

TEST_F(LevelDiagramTest, ArrowKeysWalkTheStatesInMarkerOrder) {
    using enum LevelArrowKey;
    struct Walk {
        Orbital from;
        LevelArrowKey key;
        Orbital to;  // == from: the key does nothing
    };
    const Walk walks[] = {
        {{1, 2, 1, -1}, Left, {1, 2, 0, 0}},   {{1, 2, 1, 0}, Left, {1, 2, 1, -1}},  {{1, 2, 0, 0}, Left, {1, 2, 0, 0}},
        {{1, 2, 1, 1}, Right, {1, 2, 1, 1}},   {{1, 3, 0, 0}, Right, {1, 3, 1, -1}}, {{1, 3, 1, 0}, Right, {1, 3, 1, 1}},
        {{1, 3, 2, 2}, Down, {1, 2, 1, 1}},    {{1, 3, 1, -1}, Down, {1, 2, 1, -1}}, {{1, 1, 0, 0}, Down, {1, 1, 0, 0}},
        {{1, 20, 3, 1}, Up, {1, 20, 3, 1}},    {{2, 19, 3, 1}, Up, {2, 20, 3, 1}},   {{1, 0, 0, 0}, Up, {1, 0, 0, 0}},
        {{1, 2, 5, 0}, Right, {1, 2, 5, 0}},
    };
    for (const Walk& w : walks) {
        openAt(w.from.z, w.from.n, w.from.l, w.from.m);
        const bool moved = d.arrowKey(w.key);
        EXPECT_EQ(main, w.to) << "from " << ::testing::PrintToString(w.from);
        EXPECT_EQ(moved, !(w.to == w.from));
        EXPECT_EQ(picks, moved ? std::vector<Orbital>{w.to} : std::vector<Orbital>{});
    }

    // The first pointer move after a key is ignored.
    openAt(1, 2, 0, 0);
    pointAt(1);
    ASSERT_TRUE(d.arrowKey(Right));
    EXPECT_EQ(d.pickedTag, marker(1, 3).tag);
    pointAt(9);
    EXPECT_EQ(d.hoveredTag, marker(1, 1).tag);
    pointAt(9);
    EXPECT_EQ(d.hoveredTag, marker(1, 9).tag);
}

TEST_F(LevelDiagramTest, StatesAndPicksOfNoMarkerSelectNothing) {
    // Levels above 3 show the bare level only.
    openAt(1, 2, 0, 0);
    follow(1, 4, 0, 0);
    EXPECT_EQ(std::tuple(d.selectedIndex, d.pickedTag, selectedCount(1)), std::tuple(0, "", 0));
    EXPECT_TRUE(d.bareLevel.visible);
    EXPECT_FLOAT_EQ(d.bareLevel.top, LevelDiagram::levelY(1, 4));
    EXPECT_EQ(d.bareLevel.left, 810);
    EXPECT_TRUE(picks.empty());

    // What the main window sends for invalid numbers, and the species menu's
    // numbers as they are, even when they name no state.
    for (Orbital s : {Orbital{0, 0, 0, 0}, Orbital{2, 2, 5, 0}}) {
        follow(s.z, s.n, s.l, s.m);
        EXPECT_EQ(d.energyText, "INVALID QUANTUM NUMBERS");
        EXPECT_EQ(d.energyColor, textRed);
        EXPECT_EQ(d.selectedIndex, 0);
        EXPECT_FALSE(d.bareLevel.visible);
    }

    // Picks of no marker.
    openAt(1, 2, 1, 0);
    for (auto [column, index] : {std::pair{1, 0}, {1, 99}, {1, -3}, {5, 3}, {-1, 3}}) {
        d.pick(column, index);
        EXPECT_EQ(d.selectedIndex, 0) << column << " " << index;
    }
    EXPECT_TRUE(picks.empty());
    EXPECT_EQ(selectedCount(1), 0);

    // A picked index that no marker has: only the column changes.
    d.pickedIndex = 77;
    d.chooseSpecies(2);
    d.pickedIndex = 0;
    d.chooseSpecies(3);
    EXPECT_EQ(visibleColumns(), std::vector<int>{3});
    for (const Orbital& p : picks) EXPECT_EQ(p.n, 2);

    // An option caption with no number is rebuilt for the species asked.
    d.speciesOptions[0].caption = "Z = ";
    follow(5, 1, 0, 0);
    EXPECT_EQ(d.speciesOptions[0].caption, "Z = 5");
    EXPECT_EQ(marker(0, 1).tag, "#1:  Z=5 n=1 l=0 m=0 E=-54.50 aJ");
}

}  // namespace
}  // namespace vantrel
