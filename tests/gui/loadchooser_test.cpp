// Point files opened by name: the recent files, and what a name says.
#include "app/gui/loadchooser.h"
#include "guitest.h"

namespace vantrel::test {
namespace {

TEST(PointFileNameTest, NamesTheProgramForms) {
    using Parsed = tuple<int, int, int, int, std::string, bool>;  // n, l, m, Z, plane, quick
    for (const auto& [name, want] : {std::pair{"1_0_0_.csv", Parsed{1, 0, 0, 1, "", false}},
                                     {"2_1_-1_xy.csv", Parsed{2, 1, -1, 1, "xy", false}},
                                     {"3_2_0_(z_3).csv", Parsed{3, 2, 0, 3, "", false}},
                                     {"4_3_2_xz_(z_12)_quick.csv", Parsed{4, 3, 2, 12, "xz", true}},
                                     {"2_0_0_quick.csv", Parsed{2, 0, 0, 1, "", true}}}) {
        const auto p = parsePointFileName(name);
        ASSERT_TRUE(p) << name;
        EXPECT_EQ(Parsed(p->n, p->l, p->m, p->z, p->plane, p->quick), want) << name;
    }
    for (const char* bad : {"points.csv", "1_0_0_.xyz", "1_0_.csv", "1_0_0_ab.csv", "1_0_0_(z_0).csv", "1_0_0_(z_500).csv"})
        EXPECT_FALSE(parsePointFileName(bad)) << bad;
}

using LoadChooserTest = StartedWindowTest;

TEST_F(LoadChooserTest, RecentFilesAndRefusals) {
    auto* chooser = new LoadChooser(*view);
    // A finished run of 2p in the XY plane, then back to 1s.
    setOrbital(s, 1, 2, 1, 0, false);
    f.regionOptions[1].select();
    type(f.maxPointsText, "625");
    calculate();
    const std::string file = s.orbital.csvFile;
    f.regionOptions[0].select();
    setOrbital(s, 1, 1, 0, 0, false);
    view->syncAll();
    ASSERT_EQ(recentPointFiles(s.mainDir), QStringList{QString::fromStdString(file)});
    emit view->menuFor(f.fileMenu)->aboutToShow();
    ASSERT_EQ(chooser->recentMenu()->actions().size(), 1);
    chooser->recentMenu()->actions().first()->trigger();
    EXPECT_EQ(tuple(f.quantumText[0].text, f.quantumText[1].text, f.regionOptions[1].checked, s.orbital.csvFile,
                         f.plotModeOptions[0].checked),
              tuple("2", "1", true, file, true));

    // Not named by the program, or outside the cache: a message, nothing loaded.
    writeFile(dir.file("other.csv"), "");
    EXPECT_FALSE(loadPointFile(s, dir.file("other.csv")));
    EXPECT_FALSE(loadPointFile(s, dir.file("1_0_0_.csv")));
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(s.orbital.csvFile, file);
}

}  // namespace
}  // namespace vantrel::test
