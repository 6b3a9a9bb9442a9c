// Point files opened by name: the file dialog, the recent files, and what
// a name says.
#include <QMenu>

#include "app/gui/loadchooser.h"
#include "app/orbitalcontrols.h"
#include "guitest.h"

namespace vantrel::test {
namespace {

TEST(PointFileNameTest, NamesTheProgramForms) {
    struct Case {
        const char* name;
        int n, l, m, z;
        const char* plane;
        bool quick;
    };
    for (const Case& c : {Case{"1_0_0_.csv", 1, 0, 0, 1, "", false}, Case{"2_1_-1_xy.csv", 2, 1, -1, 1, "xy", false},
                          Case{"3_2_0_(z_3).csv", 3, 2, 0, 3, "", false}, Case{"4_3_2_xz_(z_12)_quick.csv", 4, 3, 2, 12, "xz", true},
                          Case{"2_0_0_quick.csv", 2, 0, 0, 1, "", true}}) {
        const auto p = parsePointFileName(c.name);
        ASSERT_TRUE(p) << c.name;
        EXPECT_EQ(p->n, c.n) << c.name;
        EXPECT_EQ(p->l, c.l) << c.name;
        EXPECT_EQ(p->m, c.m) << c.name;
        EXPECT_EQ(p->z, c.z) << c.name;
        EXPECT_EQ(p->plane, c.plane) << c.name;
        EXPECT_EQ(p->quick, c.quick) << c.name;
    }
    for (const char* bad : {"points.csv", "1_0_0_.xyz", "1_0_.csv", "1_0_0_ab.csv", "1_0_0_(z_0).csv", "1_0_0_(z_500).csv"})
        EXPECT_FALSE(parsePointFileName(bad)) << bad;
}

class LoadChooserTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startWindow(true);
        chooser = new LoadChooser(*view);
    }
    // A finished run of 2p in the XY plane, then back to 1s.
    std::string makePointFile() {
        setOrbital(1, 2, 1, 0, false);
        f.regionOptions[1].select();
        type(f.maxPointsText, "625");
        QTest::mouseClick(button(f.calculateButton), Qt::LeftButton);
        const std::string file = globals().orbital.csvFile;
        f.regionOptions[0].select();
        setOrbital(1, 1, 0, 0, false);
        view->syncAll();
        return file;
    }
    void expectLoaded(const std::string& file) {
        EXPECT_EQ(f.quantumText[0].text, "2");
        EXPECT_EQ(f.quantumText[1].text, "1");
        EXPECT_TRUE(f.regionOptions[1].checked);
        EXPECT_EQ(globals().orbital.csvFile, file);
        EXPECT_TRUE(f.plotModeOptions[0].checked);  // the points' histogram
    }
    LoadChooser* chooser = nullptr;
};

TEST_F(LoadChooserTest, RecentFilesAndRefusals) {
    const std::string file = makePointFile();
    ASSERT_EQ(recentPointFiles(), QStringList{QString::fromStdString(file)});
    emit view->menuFor(f.fileMenu)->aboutToShow();
    ASSERT_EQ(chooser->recentMenu()->actions().size(), 1);
    chooser->recentMenu()->actions().first()->trigger();
    expectLoaded(file);

    // Not named by the program, or outside the cache: a message, nothing loaded.
    writeFile(dir.file("other.csv"), "");
    EXPECT_FALSE(loadPointFile(dir.file("other.csv")));
    EXPECT_FALSE(loadPointFile(dir.file("1_0_0_.csv")));
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(globals().orbital.csvFile, file);
}

}  // namespace
}  // namespace vantrel::test
