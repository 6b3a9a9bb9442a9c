// The window as plain state and the current orbital read from it.
#include "engine/orbital.h"

#include <array>
#include <climits>
#include <vector>

#include "engine/formstate.h"
#include "engine/globals.h"
#include "engine/textutil.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using OrbitalTest = test::FreshState;
using FormStateTest = test::FreshState;
using test::typenlm;

TEST_F(FormStateTest, ReactionsFireOnlyOnRealChanges) {
    int clicks = 0, changes = 0;
    f.optTheory[0].onclick = [&] { ++clicks; };
    f.optTheory[0].select();  // already selected
    EXPECT_EQ(clicks, 0);
    f.optTheory[2].select();
    EXPECT_FALSE(f.optTheory[0].checked);
    f.optTheory[0].select();
    EXPECT_EQ(clicks, 1);

    f.txtscal.onchange = [&] { ++changes; };
    f.txtscal.settext("2");
    EXPECT_EQ(changes, 0);
    f.txtscal.settext("3");
    f.HScroll2.onchange = [&] { ++changes; };
    f.HScroll2.setvalue(99);  // clamped to the range
    EXPECT_EQ(f.HScroll2.value, 5);
    EXPECT_EQ(changes, 2);
}

// (3 3 0 and 3 2 -2 are typed into the real window in the window tests.)
TEST_F(OrbitalTest, ValidityShowsInTheWindow) {
    const std::string invalid = "The quantum numbers you have chosen are invalid.";
    typenlm("3", "1", "2");
    EXPECT_FALSE(f.Command1.enabled || f.lblenergy[1].enabled);
    EXPECT_EQ(f.lblerror.caption, invalid);
    typenlm("0", "0", "0");
    EXPECT_FALSE(f.Command1.enabled);

    // Valid numbers beyond the factorial table are refused, saying why.
    typenlm("26", "25", "0");
    EXPECT_TRUE(!f.Command1.enabled && f.lblerror.visible && test::contains(f.lblerror.caption, "above 50"));
    EXPECT_FALSE(f.lblSmall.visible || f.lbllarge.visible);

    EXPECT_TRUE(validnumbers(26, 24, -24));
    EXPECT_FALSE(validnumbers(INT_MAX, INT_MAX - 1, 0) || validnumbers(INT_MAX, 5, INT_MIN));
    typenlm("1e300", "-1e300", "abc");  // absurd texts: refused, nothing breaks
    EXPECT_EQ(f.lblerror.caption, invalid);
}

TEST_F(OrbitalTest, ExtentTextsQuotaWarningsAndDefaultExtent) {
    struct Case {
        const char *text, *shown;
        int axismax;
    };
    const Case cases[] = {{"7.9", "7", 10}, {"0", "10", 20}, {"", "10", 20}, {"900", "500", 510}, {"-7", "7", 10}, {"25", "25", 30}};
    for (const auto& c : cases) {
        f.txtscal.text = c.text;
        updateorbital(true);
        EXPECT_EQ(f.txtscal.text, c.shown) << c.text;
        EXPECT_EQ(numtext(o.extent), c.shown) << c.text;
        EXPECT_EQ(o.axismax, c.axismax) << c.text;
        EXPECT_EQ(inttext(f.HScroll1.value), c.shown) << c.text;
    }

    for (auto [text, quota] : {std::pair{"100", 625}, {"20000.5", 20000}}) {  // at least 625; ties to even
        f.txtmax.text = text;
        updateorbital(false);
        EXPECT_TRUE(o.maxpoints == quota && f.txtmax.text == inttext(quota)) << text;
    }

    for (auto [z, n, expected] : {std::array{1, 1, 2}, {1, 2, 6}, {1, 3, 13}, {2, 1, 2}, {10, 4, 2}, {200, 1, 1}}) {
        o.currentz = z, o.currentn = n;
        EXPECT_EQ(defaultextent(), expected) << z << " " << n;
    }
    o.currentz = 1, o.currentn = 100000;  // no overflow for absurd n
    EXPECT_GT(defaultextent(), 0);

    typenlm("3", "2", "0", "2");  // default 13
    EXPECT_TRUE(f.lblSmall.visible && f.Label1.color == 0x0000FFu);
    typenlm("3", "2", "0", "13");
    EXPECT_TRUE(!f.lblSmall.visible && !f.lbllarge.visible && f.Label1.color == 0u);
    typenlm("3", "2", "0", "20");
    EXPECT_TRUE(f.lbllarge.visible);

    typenlm("40", "0", "0");
    autoscale();  // default 1715: the scroll bar and the extent stop at 500
    EXPECT_TRUE(f.HScroll1.value == 500 && o.extent == 500);
}

TEST_F(OrbitalTest, FileNamesKeepTheDirectoryCase) {
    globals().maindir = "/tmp/Some_Vantrel";
    const std::string cache = "/tmp/Some_Vantrel/files/";
    struct Case {
        int n, l, m, z;
        const char* plane;
        bool quick;
        const char* base;
    };
    const Case cases[] = {{2, 1, 0, 1, "", false, "2_1_0_"}, {2, 1, 0, 1, "xy", false, "2_1_0_xy"},
                          {3, 2, -1, 2, "", false, "3_2_-1_(z_2)"}, {2, 1, 1, 1, "", true, "2_1_1_quick"}};
    for (const auto& c : cases) {
        o.currentn = c.n, o.currentl = c.l, o.currentm = c.m, o.currentz = c.z;
        o.planename = c.plane, o.quickmode = c.quick, o.colorsuffix = "_n";
        formfilenames();
        EXPECT_EQ(o.csvfile, cache + c.base + ".csv");
        EXPECT_EQ(o.xyzfile, cache + c.base + "_n.xyz");
    }

    // Through the window: "Nodes" adds the suffix after the "__" clean-up.
    form().OptColor[1].select();
    o.planename = "", o.currentz = 1;
    typenlm("2", "1", "0");
    EXPECT_EQ(o.xyzfile, cache + "2_1_0__n.xyz");
    EXPECT_EQ(o.csvfile, cache + "2_1_0_.csv");
}

TEST_F(OrbitalTest, SpeciesFromNuclearCharge) {
    setnucleus(4);
    EXPECT_TRUE(o.currentz == 4 && f.mnuH[3].checked);
    EXPECT_EQ(f.Frame1.caption, "Calculation Options for the Be+3 Ion (Z=4)");
    setnucleus(5);
    EXPECT_EQ(o.speciesname, "Z=5");
    EXPECT_TRUE(f.mnuH[4].checked && !f.mnuH[3].checked);
    setnucleus(200);  // the 120 limit belongs to the menu's input box only
    setnucleus(0);
    EXPECT_EQ(o.currentz, 200);
}

TEST_F(OrbitalTest, RegionsNodalPlanesAndLevelWindow) {
    std::vector<int> setups;
    hooks().levelsetup = [&](int z, int n, int l, int m) { setups.push_back(z + n + l + m); };
    globals().levelsopen = true;
    f.chk1st.checked = true;
    f.optAll[3].select();
    globals().orbital.planename = "xy";
    f.optTheory[1].select();
    typenlm("2", "1", "0", "6");  // pz
    EXPECT_FALSE(f.chk1st.checked || f.chk1st.enabled);  // first quadrant only in space
    EXPECT_TRUE(f.Picture1[2].visible && !f.Picture1[0].visible && !f.Picture1[1].visible);
    EXPECT_TRUE(setups.empty());
    EXPECT_TRUE(isnodal());  // XY is the nodal plane of pz, XZ is not
    f.optAll[4].select();
    EXPECT_FALSE(isnodal());
    int x, y, z;
    bool restricted;
    f.optAll[2].select();
    setoptions(x, y, z, restricted);
    EXPECT_TRUE(restricted && x * 100 + y * 10 + z == 11);

    typenlm("2", "2", "0");  // invalid: the level window is told
    EXPECT_EQ(setups, std::vector<int>{0});
}

TEST_F(OrbitalTest, SetOrbitalGuardAndState) {
    globals().run.npoints = 40;
    f.settingorbital = true;
    setorbital(2, 3, 2, -1, false);
    EXPECT_EQ(f.txtNLM[0].text, "1");

    f.settingorbital = false;
    setorbital(2, 3, 2, -1, true);
    EXPECT_TRUE(!f.settingorbital && f.txtNLM[2].text == "-1" && f.HScroll3[0].value == 3);
    EXPECT_TRUE(globals().orbital.currentz == 2 && globals().run.npoints == 0 && f.optTheory[1].checked);
    EXPECT_EQ(globals().orbital.extent, 6);  // (9 + 9 - 5) / 2 = 6.5 ties to even
}

}  // namespace
}  // namespace vantrel
