// Orbital pages, viewer embeds and the cache index pages.
#include <gtest/gtest.h>

#include "engine/textutil.h"
#include "output/fileutil.h"
#include "output/pages.h"
#include "output/platform.h"
#include "output/viewerfiles.h"
#include "support/scratch.h"

namespace vantrel {
namespace {

using namespace test;

// A main directory with its cache, a program folder with the frame
// template, no three.js, and a user data folder of the test's own.
class PagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(cache);
        fs::create_directories(dir.file("prog"));
        fs::copy_file(std::string(VANTREL_SOURCE_DIR) + "/data/frames.ht", dir.file("prog/frames.ht"));
    }
    // The orbital n, l, m of the species, its XYZ file in the cache.
    void setOrbital(int z, const std::string& species, int n, int l, int m) {
        const std::string base = intText(n) + "_" + intText(l) + "_" + intText(m) + "_";
        orbital = {{z, n, l, m}, species, "", cache + "/" + base + ".xyz", base, dir.path(), dir.file("prog"),
                   dir.file("three")};  // no three.js there
        writeFile(orbital.xyzFile, "1\r\n\r\nHe 0.0 0.0 0.0\r\n");
    }
    std::string writePages() { return writeOrbitalPages(orbital, options, problems); }
    void writeIndex(bool jmol, const std::string& header = "", const std::string& script = "") {
        createHtmlIndex(dir.path(), orbital.xyzFile, jmol, header, script, "WHITE", problems);
    }
    std::string page(const std::string& name) { return readFile(cache + "/" + name); }
    TempDir dir;
    std::string cache = dir.file("files");
    TempDir dataHome{"xdgdata"};
    ScopedEnv dataEnv{"XDG_DATA_HOME", dataHome.path()};
    PageOrbital orbital;
    PageOptions options;
    std::vector<std::string> problems;
};

// The byte layout of the pages and of both forms of the index is the
// golden runs' business; these are the choices those runs do not make.
TEST_F(PagesTest, FourPanelsBlackStartingRotationOrPlugInAndTheAppletCopiedOnce) {
    options.fourPanel = options.fullScreen = true;  // four panels win
    setOrbital(1, "the H Atom (Z=1)", 3, 2, -1);
    const std::string root = "3_2_-1__";
    EXPECT_TRUE(contains(readFile(writePages()), "'" + root + "4.htm'"));
    EXPECT_TRUE(contains(page(root + "4.htm"), "width=156 height=156"));

    // Black: the title page's text turns light; "Start Rotation" reaches the applets.
    options.blackBackground = options.startRotation = true;
    writePages();
    EXPECT_TRUE(endsWith(page(root + "0.htm"), "<center>" + lightTextStyle() + "</BODY></HTML>\r\n"));
    EXPECT_TRUE(contains(page(root + "1.htm"), "\r\n<param name=startspin value=true>\r\n</applet>"));
    options.blackBackground = options.startRotation = false;

    options.jmol = false;  // the plug-in panels lose their name
    writePages();
    EXPECT_TRUE(contains(page(root + "1.htm"), "<embed frank=no pluginspage="));
    EXPECT_FALSE(contains(page(root + "1.htm"), "name=orbital"));

    // The applet beside the program is copied once, never overwritten;
    // without one nothing is copied nor said.
    options.jmol = true, options.fourPanel = false;
    setOrbital(1, "the H Atom (Z=1)", 1, 0, 0);
    EXPECT_EQ(writePages(), cache + "/1_0_0_.htm");
    EXPECT_FALSE(fileExists(cache + "/JmolApplet.jar"));
    writeFile(dir.file("prog/JmolApplet.jar"), "applet");
    writePages();
    writeFile(dir.file("prog/JmolApplet.jar"), "newer");
    writePages();
    EXPECT_EQ(page("JmolApplet.jar"), "applet");
    fs::remove(cache + "/JmolApplet.jar");
    options.jmol = false;  // Chime needs none
    writePages();
    EXPECT_FALSE(fileExists(cache + "/JmolApplet.jar"));
    EXPECT_TRUE(problems.empty());
}

TEST_F(PagesTest, EnergyIndexSkipsUnbound) {
    for (auto [name, energy] : {std::pair{"2_1_0_", " E = -0.545 attoJoule = -5.45E-19 Joule"},
                                {"1_0_0_", " E = -2.18 attoJoule = -2.18E-18 Joule"}, {"9_0_0_", " E = 0 attoJoule"},
                                {"8_0_0_", "no energy"}}) {
        writeFile(cache + "/" + name + ".txt", name + std::string(".xyz; ") + energy + "; s;|<h3>" + name + "</h3>\r\n");
        writeFile(cache + "/" + name + ".htm", "page");
    }
    orbital.xyzFile = cache + "/1_0_0_.xyz";
    writeIndex(true, "<h3>T</h3>", "select *;");

    // (Shared headings, least bound first: the golden runs' frame1.htm.)
    for (const char* unbound : {"9_0_0_", "8_0_0_"}) EXPECT_FALSE(contains(page("frame1.htm"), unbound)) << unbound;
    EXPECT_EQ(occurrences(page("names.htm"), "<tr><td><a target=_top href="), 4);  // unbound too, numbered pages only
}

TEST_F(PagesTest, FrameSetTemplateMadeOnceInTheUsersDataFolder) {
    // Nothing is written beside the program.
    writeIndex(true);
    const std::string tpl = readFile(dataHome.file("vantrel/index.ht"));
    EXPECT_FALSE(fs::exists(dir.file("prog/index.ht")));
    EXPECT_TRUE(contains(tpl, "<TITLE>Index of " + cache + " by Energy</TITLE>"));
    EXPECT_EQ(page("index.htm"), tpl);  // its bytes: the golden runs' index.htm

    const std::string other = dir.file("other_vantrel");  // keeps the first title
    fs::create_directories(cache = other + "/files");
    createHtmlIndex(other, "", true, "", "", "", problems);
    EXPECT_EQ(page("index.htm"), tpl);

    // A data folder that cannot be made: straight into the cache.
    ScopedEnv blocked{"XDG_DATA_HOME", dir.file("prog/frames.ht")};
    createHtmlIndex(other, "", true, "", "", "", problems);
    EXPECT_TRUE(contains(page("index.htm"), "<TITLE>Index of " + cache + " by Energy</TITLE>"));
}

// Names and summaries are text wherever they land: a main directory or a
// file name cannot open an element, a summary cannot end a string early.
TEST_F(PagesTest, TextInTheIndexPagesIsEscapedForItsPlace) {
    const std::string mainDir = dir.file("q</title><img src=x onerror=alert(1)>vantrel");
    fs::create_directories(cache = mainDir + "/files");
    writeFile(cache + "/1_0_0_.txt", "1_0_0_.xyz; E = -2.18 attoJoule; select *;|');alert(\"1%27\");('\r\n");
    writeFile(cache + "/1_a><b>&.htm", "page");
    createHtmlIndex(mainDir, "", true, "", "", "", problems);
    EXPECT_TRUE(problems.empty());
    for (const char* name : {"names.htm", "index.htm"}) {
        EXPECT_FALSE(contains(page(name), "<img")) << name;
        EXPECT_TRUE(contains(page(name), "q&lt;/title&gt;&lt;img src=x onerror=alert(1)&gt;vantrel/files")) << name;
    }
    EXPECT_TRUE(contains(page("names.htm"), "<a target=_top href=\"1_a%3E%3Cb%3E%26.htm\">1_a&gt;&lt;b&gt;&amp;.htm</a>"));
    EXPECT_TRUE(contains(page("frame1.htm"), "showxyz('1_0_0_.xyz','select *;','\\x27);alert(\\x221\\x2527\\x22);(\\x27')"));
}

}  // namespace
}  // namespace vantrel
