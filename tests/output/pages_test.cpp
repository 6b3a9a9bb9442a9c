// Orbital pages, viewer embeds and the cache index pages.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/formstate.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "engine/platform.h"
#include "engine/textutil.h"
#include "output/pages.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::contains;
using test::readfile;
using test::writefile;

std::string lineafter(const std::string& text, const std::string& start) {
    auto at = text.find(start);
    if (at == std::string::npos) return "";
    return text.substr(at, text.find("\r\n", at) - at);
}

// True when the JavaScript expression is string literals joined by '+'
// with plain names, ended by ';': what "var s=..." must be.
bool concatenationisvalid(const std::string& expr) {
    std::size_t i = 0;
    bool wantoperand = true;
    while (i < expr.size()) {
        char c = expr[i];
        if (wantoperand) {
            if (c == '\'') {
                for (++i; i < expr.size() && expr[i] != '\''; ++i)
                    if (expr[i] == '\\') ++i;
                if (i >= expr.size()) return false;  // unterminated
                ++i;
            } else if (std::isalpha(static_cast<unsigned char>(c))) {
                while (i < expr.size() && std::isalnum(static_cast<unsigned char>(expr[i]))) ++i;
            } else {
                return false;
            }
            wantoperand = false;
        } else {
            if (c == ';') return i + 1 == expr.size();
            if (c != '+') return false;
            ++i;
            wantoperand = true;
        }
    }
    return false;
}

class PagesTest : public test::FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        globals().maindir = dir.file("main_vantrel");
        cache = globals().maindir + "/files";
        fs::create_directories(cache);
        fs::create_directories(dir.file("prog"));
        setprogramdir(dir.file("prog"));
        fs::copy_file(std::string(VANTREL_SOURCE_DIR) + "/data/frames.ht", dir.file("prog/frames.ht"));
        setscreenwidthtwips(1280 * 15);
    }
    void TearDown() override {
        setprogramdir("");
        FreshState::TearDown();
    }

    // A small point data file for the orbital n, l, m so the page writer
    // has something to convert.
    void orbital(int n, int l, int m) {
        auto& f = form();
        f.txtNLM[0].text = inttext(n);
        f.txtNLM[1].text = inttext(l);
        f.txtNLM[2].text = inttext(m);
        f.txtscal.text = "10";
        updateorbital(false);
        std::string header = "3,10,0.5";
        header.resize(50, ' ');
        writefile(globals().orbital.csvfile,
                  header + "\r\n0.5,0.25,-1,0.1\r\n-2,1,0.5,-0.3\r\n1,1,1,0.6\r\n");
    }

    std::string page(const std::string& name) { return readfile(cache + "/" + name); }

    test::TempDir dir;
    std::string cache;
};

TEST_F(PagesTest, EmbedsForJmolAndChime) {
    form().chkJmol.checked = true;
    EXPECT_EQ(createembed("orbital", "1_0_0_.xyz", "select *;", " width=312 height=312", "WHITE", "startspin=true "),
              "<applet name=\"orbital\" code=JmolApplet Archive = JmolApplet.jar  width=312 height=312 "
              "mayscript=true><param name=progressbar   value=true><param name=script value=\"set color "
              "rasmol;background WHITE;load 1_0_0_.xyz;select *;\"></applet>");
    form().chkJmol.checked = false;
    std::string chime = createembed("orbital", "1_0_0_.xyz", "select *;", "width=300 height=300", "BLACK", "R ");
    EXPECT_EQ(chime.rfind("<embed pluginspage=http", 0), 0u);
    EXPECT_TRUE(contains(chime, " name=orbital src=1_0_0_.xyz script='select *;' width=300 height=300 "
                                "align=abscenter bgcolor=BLACK options3d=specular color3d=cpk R  spiny=60 frank=no>"));
}

TEST_F(PagesTest, SinglePageTitleEnergyAndSummary) {
    auto& f = form();
    // The He+ label: "+ " raised, "Ion (" right after it.
    speciesmenu(1);
    f.chkEnergy[0].checked = true;
    orbital(2, 1, 0);
    const std::string path = createorbitalpage();
    EXPECT_EQ(path, cache + "/2_1_0_(z_2).htm");
    const std::string html = readfile(path);
    const std::string title = "<center><h3><i>n</i>=2 <i>l</i>=1 <i>m</i>=0  for the He<sup>+ </sup>Ion "
                              "(<i>Z</i> = 2)</h3>";
    EXPECT_TRUE(contains(html, "<HTML>\r\n<BODY BGCOLOR=WHITE>\r\n<center>\r\n<h3>"));
    EXPECT_TRUE(contains(html, "<table>\r\n<tr>\r\n<td>\r\n<applet name=\"orbital\""));
    EXPECT_TRUE(contains(html, "width=312 height=312"));
    EXPECT_TRUE(contains(html, "TOTAL ENERGY"));
    EXPECT_TRUE(contains(html, "set boundbox on;set axes on; color axes grey;"));
    EXPECT_FALSE(contains(html, "%script"));
    EXPECT_FALSE(contains(html, "><"));
    EXPECT_TRUE(contains(html, "</center>Index:  <a target=_top href=index.htm>by energy</a> <a target=_top "
                               "href=names.htm>by name</a>\r\n<center>\r\n<table>"));

    const std::string summary = page("2_1_0_(z_2).txt");
    EXPECT_EQ(summary.rfind("2_1_0_(z_2).xyz;  E = ", 0), 0u) << summary;
    EXPECT_TRUE(contains(summary, "; select *;spacefill 700;wireframe off;rotate x 0;set boundbox on;set axes on; "
                                  "color axes grey;|" + title));
    // Index pages come with every page.
    for (const char* name : {"names.htm", "frame0.htm", "frame1.htm", "frame2.htm", "index.htm"})
        EXPECT_TRUE(fileexists(cache + "/" + name)) << name;
    EXPECT_EQ(page("frame0.htm"), "<html>" + title + "</html>\r\n");
    // No applet beside the program: nothing copied, nothing said.
    EXPECT_FALSE(fileexists(cache + "/JmolApplet.jar"));
    EXPECT_TRUE(dialogs.shown.empty());

    // Li+2 on the XY plane, Chime: the Jmol options change nothing.
    speciesmenu(2);
    f.optAll[0].checked = false;
    f.optAll[3].checked = true;
    globals().orbital.planename = "xy";
    f.chkJmol.checked = false;
    f.chkEnergy[0].checked = false;
    f.chkFull.checked = true;
    orbital(3, 1, 1);
    const std::string li = readfile(createorbitalpage());
    EXPECT_TRUE(contains(li, "<i>m</i>=1 xy plane for the Li<sup>+2</sup> Ion (<i>Z</i> = 3)</h3>"));
    EXPECT_TRUE(contains(li, "width=624 height=624"));
    EXPECT_TRUE(contains(li, "script='select *;spacefill 700;wireframe off;rotate x 0;'"));
    EXPECT_FALSE(contains(li, "boundbox"));
    EXPECT_FALSE(contains(li, "TOTAL ENERGY"));

    // The plain H label, on a narrow screen.
    speciesmenu(0);
    setscreenwidthtwips(9000);
    orbital(1, 0, 0);
    const std::string h = readfile(createorbitalpage());
    EXPECT_TRUE(contains(h, "the H Atom (<i>Z</i> = 1)</h3>"));
    EXPECT_TRUE(contains(h, "width=500 height=500"));
}

TEST_F(PagesTest, FourPanelViewsDifferOnlyInRotation) {
    auto& f = form();
    f.chk4Panel.checked = true;
    f.chkFull.checked = true;  // the four-panel size wins
    orbital(3, 2, -1);
    const std::string path = createorbitalpage();
    const std::string root = "3_2_-1__";
    const std::string frames = readfile(path);
    EXPECT_TRUE(contains(frames, "32-1"));
    for (int k = 0; k <= 4; ++k) EXPECT_TRUE(contains(frames, "'" + root + inttext(k) + ".htm'")) << k;
    EXPECT_FALSE(contains(frames, "%file"));

    const std::string v1 = page(root + "1.htm"), v2 = page(root + "2.htm"), v3 = page(root + "3.htm"),
                      v4 = page(root + "4.htm");
    EXPECT_TRUE(contains(v4, "rotate x 0;"));
    EXPECT_TRUE(contains(v4, "width=156 height=156"));
    EXPECT_EQ(replaced(v1, "rotate x -90;", "rotate x 0;"), v4);
    EXPECT_EQ(replaced(v2, "rotate y 90;", "rotate x 0;"), v4);
    EXPECT_EQ(replaced(v3, "rotate x -45; rotate z 45;", "rotate x 0;"), v4);
    const std::string titlepage = page(root + "0.htm");
    EXPECT_TRUE(contains(titlepage, "<HTML><BODY BGCOLOR=WHITE><center><h3>"));  // not one tag per line
    EXPECT_TRUE(contains(titlepage, "href=names.htm>by name</a><center></BODY></HTML>"));

    // Chime panels: no name, frank=no added to the embed.
    f.chkJmol.checked = false;
    createorbitalpage();
    EXPECT_TRUE(contains(page(root + "1.htm"), "<embed frank=no pluginspage="));
    EXPECT_FALSE(contains(page(root + "1.htm"), "name=orbital"));
}

TEST_F(PagesTest, AppletCopiedOnceAndNeverOverwritten) {
    writefile(dir.file("prog/JmolApplet.jar"), "applet");
    orbital(1, 0, 0);
    createorbitalpage();
    EXPECT_EQ(page("JmolApplet.jar"), "applet");
    writefile(dir.file("prog/JmolApplet.jar"), "newer");
    createorbitalpage();
    EXPECT_EQ(page("JmolApplet.jar"), "applet");
    EXPECT_TRUE(dialogs.shown.empty());
    // Chime pages need no applet.
    fs::remove(cache + "/JmolApplet.jar");
    form().chkJmol.checked = false;
    createorbitalpage();
    EXPECT_FALSE(fileexists(cache + "/JmolApplet.jar"));
}

TEST_F(PagesTest, MissingPointFileWritesNoPage) {
    orbital(2, 0, 0);
    fs::remove(globals().orbital.csvfile);
    EXPECT_EQ(createorbitalpage(), "");
    EXPECT_FALSE(fileexists(cache + "/2_0_0_.htm"));
}

// Index pages built from summaries written by hand.
class IndexTest : public PagesTest {
protected:
    void summary(const std::string& name, const std::string& energy) {
        writefile(cache + "/" + name + ".txt", name + ".xyz; " + energy + "; select *;rotate x 0;|<h3>" + name +
                                                   "</h3>\r\n");
        writefile(cache + "/" + name + ".htm", "page");
    }
};

TEST_F(IndexTest, EnergyListSharesHeadingsAndSkipsUnbound) {
    summary("2_1_0_", " E = -0.545 attoJoule = -5.45E-19 Joule");
    summary("1_0_0_", " E = -2.18 attoJoule = -2.18E-18 Joule");
    summary("2_1_1_", " E = -0.545 attoJoule = -5.45E-19 Joule");
    summary("9_0_0_", " E = 0 attoJoule");
    summary("8_0_0_", "no energy here");
    globals().orbital.xyzfile = cache + "/1_0_0_.xyz";
    createhtmlindex("<h3>T</h3>", "select *;", "WHITE");

    const std::string f1 = page("frame1.htm");
    EXPECT_EQ(test::occurrences(f1, "<hr>"), 2);
    EXPECT_FALSE(contains(f1, "9_0_0_"));
    EXPECT_FALSE(contains(f1, "8_0_0_"));
    // Least bound first; the second 2p row has an empty first cell.
    const auto at545 = f1.find("<b>E = -0.545 aJ</b>");
    const auto at218 = f1.find("<b>E = -2.18 aJ</b>");
    ASSERT_NE(at545, std::string::npos);
    ASSERT_NE(at218, std::string::npos);
    EXPECT_LT(at545, at218);
    EXPECT_TRUE(contains(f1, "</a></td></tr>\r\n<tr>\r\n<td></td>\r\n<td nowrap valign=top><a "
                             "href=\"javascript:showxyz('2_1_1_.xyz','select *;rotate x 0;','<h3>2_1_1_</h3>')\">"
                             "2&nbsp;1&nbsp;1&nbsp;</a></td></tr>"));
    EXPECT_TRUE(contains(f1, "\r\n</table>\r\n</body>\r\n"));

    // Names: numbered pages only, sorted, split into n, l, m.
    const std::string names = page("names.htm");
    EXPECT_EQ(names.rfind("<html><body><h1>Directory of " + cache + "</h1><p>\r\n\r\nNote: ", 0), 0u);
    EXPECT_FALSE(contains(names, "href=frame1.htm"));
    EXPECT_EQ(test::occurrences(names, "<tr><td><a target=_top href="), 5);
    EXPECT_LT(names.find("href=1_0_0_.htm"), names.find("href=2_1_0_.htm"));
    EXPECT_TRUE(contains(names, "<td>n=2<td>l=1<td>m=1<td><td>"));
    EXPECT_EQ(page("frame2.htm").rfind("<body>\r\n<applet name=\"orbital1\"", 0), 0u);
    EXPECT_TRUE(contains(page("frame2.htm"), "load 1_0_0_.xyz;select *;"));
}

TEST_F(IndexTest, EmptyCacheStillGetsEveryPage) {
    globals().orbital.xyzfile = cache + "/1_0_0_.xyz";
    createhtmlindex("<h3>T</h3>", "select *;", "WHITE");
    EXPECT_TRUE(contains(page("names.htm"), "<p><table>\r\n</table></body></html>"));
    EXPECT_TRUE(contains(page("frame1.htm"), "by name</a><table>\r\n</table>"));
    EXPECT_EQ(page("frame0.htm"), "<html><h3>T</h3></html>\r\n");
}

TEST_F(IndexTest, ShowxyzIsValidJavaScriptInBothModes) {
    summary("1_0_0_", " E = -2.18 attoJoule = -2.18E-18 Joule");
    globals().orbital.xyzfile = cache + "/1_0_0_.xyz";
    for (bool jmol : {true, false}) {
        form().chkJmol.checked = jmol;
        createhtmlindex("<h3>T</h3>", "select *;", "WHITE");
        std::string line = lineafter(page("frame1.htm"), "  var s=");
        ASSERT_FALSE(line.empty());
        EXPECT_TRUE(concatenationisvalid(line.substr(8))) << line;
        EXPECT_TRUE(contains(line, "'+sfile+'"));
        EXPECT_TRUE(contains(line, "'+script+'"));
        if (!jmol) EXPECT_TRUE(contains(line, "src='+sfile+' script=\\''+script+'\\' width=300 height=300"));
    }
    // The unescaped form is what the check must refuse.
    EXPECT_FALSE(concatenationisvalid("'<embed script=''+script+'' x>';"));
}

TEST_F(IndexTest, FrameSetTemplateMadeOnceBesideTheProgram) {
    globals().orbital.xyzfile = cache + "/1_0_0_.xyz";
    createhtmlindex("", "", "");
    const std::string tpl = readfile(dir.file("prog/index.ht"));
    EXPECT_EQ(tpl.rfind("<HTML><HEAD><TITLE>Index of " + cache + " by Energy</TITLE></HEAD>\r\n", 0), 0u);
    EXPECT_TRUE(contains(tpl, "SRC='frame2.htm'>\r\n        </FRAMESET>"));
    EXPECT_EQ(page("index.htm"), tpl);

    // Another main directory keeps the first title.
    globals().maindir = dir.file("other_vantrel");
    fs::create_directories(globals().maindir + "/files");
    cache = globals().maindir + "/files";
    createhtmlindex("", "", "");
    EXPECT_EQ(page("index.htm"), tpl);

    // A program folder that cannot be written: the frame set goes straight
    // into the cache.
    setprogramdir(dir.file("no/such/folder"));
    fs::remove(cache + "/index.htm");
    createhtmlindex("", "", "");
    EXPECT_TRUE(contains(page("index.htm"), "<TITLE>Index of " + cache + " by Energy</TITLE>"));
}

TEST_F(PagesTest, OpenfileWithAndWithoutAWindow) {
    std::string opened;
    int mode = 0;
    hooks().openurl = [&](const std::string& p, int m) {
        opened = p;
        mode = m;
        return true;
    };
    orbital(1, 0, 0);
    displayclick();
    EXPECT_EQ(opened, cache + "/1_0_0_.htm");
    EXPECT_EQ(mode, 1);
    EXPECT_TRUE(form().Frame2.enabled);

    hooks().openurl = nullptr;
    testing::internal::CaptureStdout();
    openfile("/x/page.htm", 3);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "/x/page.htm\n");
}

}  // namespace
}  // namespace vantrel
