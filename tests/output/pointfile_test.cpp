#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/energy.h"
#include "engine/formstate.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "engine/wavefunction.h"
#include "output/pointfile.h"
#include "output/radial.h"
#include "support/recordingcanvas.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

std::string header(const std::string& fields) { return fields + std::string(50 - fields.size(), ' ') + "\r\n"; }

std::vector<std::string> splitlines(const std::string& text) {
    std::vector<std::string> v;
    std::size_t start = 0, at;
    while ((at = text.find("\r\n", start)) != std::string::npos) {
        v.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    if (start < text.size()) v.push_back(text.substr(start));
    return v;
}

class PointFileTest : public test::FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        setimage1canvas(&canvas);
        globals().maindir = dir.path();
        std::filesystem::create_directory(dir.file("files"));
        useorbital(1);
    }
    void TearDown() override {
        setimage1canvas(nullptr);
        FreshState::TearDown();
    }

    // The 1s state of nuclear charge z with extent 2, as the window would
    // leave it.
    void useorbital(int z) {
        auto& f = form();
        f.txtNLM[0].text = "1";
        f.txtNLM[1].text = "0";
        f.txtNLM[2].text = "0";
        f.txtscal.text = "2";
        auto& o = globals().orbital;
        o.currentz = z;
        o.currentn = 1;
        o.extent = 2;
        o.axismax = 10;
        o.dotsize = f.chksmallerdots.checked ? 1 : 2;
        o.colorsuffix = f.OptColor[1].checked ? "_n" : "";
        o.basename = z == 1 ? "1_0_0_" : "1_0_0_(z_" + std::to_string(z) + ")";
        o.csvfile = dir.path() + "/files/" + o.basename + ".csv";
        o.xyzfile = dir.path() + "/files/" + o.basename + o.colorsuffix + ".xyz";
        updateorbital(false);
        setcoefficients();
    }

    void writecsv(const std::string& bytes) { test::writefile(globals().orbital.csvfile, bytes); }
    std::vector<std::string> xyzlines() { return splitlines(test::readfile(globals().orbital.xyzfile)); }
    int atomcount() { return std::stoi(xyzlines().at(0)); }

    test::TempDir dir;
    test::RecordingCanvas canvas;
};

TEST_F(PointFileTest, ZeroPointsGiveTheMarkersAlone) {
    writecsv(header("0,2,0.5"));
    EXPECT_TRUE(writexyzfile());
    EXPECT_TRUE(dialogs.shown.empty());
    auto lines = xyzlines();
    ASSERT_EQ(lines.size(), 2u + 61u);
    EXPECT_EQ(lines[0], "61" + std::string(48, ' '));
    EXPECT_EQ(form().lblCount.caption, "");
    EXPECT_FALSE(form().Command1.enabled);
    EXPECT_FALSE(form().Command2.enabled);
}

TEST_F(PointFileTest, LayoutOfMarkersAndPoints) {
    writecsv(header("4,2,4") + "0.1,0.2,-0.3,2\r\n1,1,1,0\r\n0.4,0,0,1\r\n-0.4,0,0,-1.9\r\n");
    ASSERT_TRUE(writexyzfile());
    auto lines = xyzlines();
    ASSERT_EQ(lines.size(), 2u + 61u + 4u);
    EXPECT_EQ(lines[0], "65" + std::string(48, ' '));
    EXPECT_EQ(lines[1], "1_0_0_ the H Atom (Z=1)  " + calcEnergy(1, 1));
    // s = (100 / 2 * 5) / 10 = 25 units per Angstrom.
    const std::vector<std::string> first = {"He 0.0 0.0 0.0", "O 25 0.0 0.0", "He -25 0.0 0.0", "He 0.0 25 0.0",
                                            "B 0.0 -25 0.0",  "He 0.0 0.0 25", "N 0.0 0.0 -25"};
    for (std::size_t i = 0; i < first.size(); ++i) EXPECT_EQ(lines[2 + i], first[i]);
    const std::vector<std::string> tenth = {"C 250 0.0 0.0", "C -250 0.0 0.0", "C 0.0 250 0.0",
                                            "C 0.0 -250 0.0", "C 0.0 0.0 250", "C 0.0 0.0 -250"};
    for (std::size_t i = 0; i < tenth.size(); ++i) EXPECT_EQ(lines[2 + 55 + i], tenth[i]);
    // y and z flip; psi^2 = maxpsi2 is class 1, psi = 0 class 15, 3.61 of 4 class 2.
    EXPECT_EQ(lines[63], "O  2.5 -5 7.5");
    EXPECT_EQ(lines[64], "H  25 -25 -25");
    EXPECT_EQ(lines[65], "I  10 0 0");
    EXPECT_EQ(lines[66], "Be -10 0 0");

    // Smaller dots spread everything twice as far.
    form().chksmallerdots.checked = true;
    useorbital(1);
    ASSERT_TRUE(writexyzfile());
    EXPECT_EQ(xyzlines()[3], "O 50 0.0 0.0");
}

TEST_F(PointFileTest, NodeColoursAndFirstQuadrant) {
    form().OptColor[1].select();
    form().chk1st.checked = true;
    useorbital(1);
    writecsv(header("7,2,1") +
             "1,1,1,0\r\n1,1,1,0.5\r\n1,1,1,-0.5\r\n0,1,1,1\r\n1,0,1,1\r\n1,1,0,1\r\n-1,1,1,1\r\n");
    ASSERT_TRUE(writexyzfile());
    EXPECT_NE(globals().orbital.xyzfile.find("_n.xyz"), std::string::npos);
    auto lines = xyzlines();
    ASSERT_EQ(lines.size(), 2u + 61u + 3u);
    EXPECT_EQ(lines[0], "64" + std::string(48, ' '));
    EXPECT_EQ(lines[63], "O 25 -25 -25");
    EXPECT_EQ(lines[64], "N 25 -25 -25");
    EXPECT_EQ(lines[65], "O 25 -25 -25");
}

TEST_F(PointFileTest, WriterReportsBadInputOnce) {
    const std::string message = "Couldn't create " + globals().orbital.xyzfile + " from " +
                                globals().orbital.csvfile + "\r\n\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        int written;  // points that still reach the XYZ file
    };
    const std::vector<Case> cases = {
        {"empty", "", 0},
        {"garbage header", "abc\r\n1,1,1,1\r\n", 0},
        {"short header", header("1,2") + "1,1,1,1\r\n", 0},
        {"count beyond the lines", header("5,2,1") + "1,1,1,1\r\n1,1,1,1\r\n", 2},
        {"huge count", header("2000000000,2,1") + "1,1,1,1\r\n", 1},
        {"truncated line", header("2,2,1") + "1,1,1,1\r\n1,1", 1},
        {"NaN", header("2,2,1") + "1,1,1,1\r\nNaN,1,1,1\r\n", 1},
        {"overflowing number", header("2,2,1") + "1,1,1,1\r\n1,1E+400,1,1\r\n", 1},
    };
    for (const auto& c : cases) {
        dialogs.shown.clear();
        writecsv(c.bytes);
        EXPECT_FALSE(writexyzfile()) << c.what;
        ASSERT_EQ(dialogs.shown.size(), 1u) << c.what;
        EXPECT_EQ(dialogs.shown[0].text.rfind(message, 0), 0u) << c.what;
        EXPECT_GT(dialogs.shown[0].text.size(), message.size()) << c.what;
        auto lines = xyzlines();
        EXPECT_EQ(lines.at(0).size(), 50u) << c.what;
        EXPECT_EQ(atomcount(), 61 + c.written) << c.what;
        EXPECT_EQ(lines.size(), 2u + 61u + c.written) << c.what;
    }

    dialogs.shown.clear();
    std::filesystem::remove(globals().orbital.csvfile);
    EXPECT_FALSE(writexyzfile());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, message + "No such file or directory");

    // Line feeds alone are fine.
    dialogs.shown.clear();
    writecsv("2,2,1\n1,1,1,1\n1,1,1,1\n");
    EXPECT_TRUE(writexyzfile());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(atomcount(), 63);
}

TEST_F(PointFileTest, ReadRebuildsTheHistogram) {
    writecsv(header("3,2,0.75") + "0.2,0,0,1\r\n0,-0.2,0,1\r\n\r\n0.3,0.4,0,1\r\n");
    readpointfile();
    const auto& rad = globals().radial;
    const auto& run = globals().run;
    EXPECT_EQ(run.npoints, 3);
    ASSERT_GT(rad.radialhits.size(), 25u);
    EXPECT_EQ(rad.radialhits[10], 2);
    EXPECT_EQ(rad.radialhits[25], 1);
    EXPECT_EQ(rad.maxhits, 2);
    EXPECT_EQ(rad.maxbin, 25);
    EXPECT_EQ(run.maxpsi2, 0.75);
    EXPECT_EQ(rad.radialtheory.size(), rad.radialhits.size());
    EXPECT_EQ(form().lblCount.caption, "3");
    EXPECT_EQ(form().txtscal.text, "2");
    EXPECT_EQ(run.loadedfile, globals().orbital.csvfile);
}

TEST_F(PointFileTest, ReadSetsTheNucleusFromTheName) {
    useorbital(3);
    globals().orbital.currentz = 1;
    writecsv(header("1,2,1") + "0.2,0,0,1\r\n");
    readpointfile();
    EXPECT_EQ(globals().orbital.currentz, 3);
    EXPECT_EQ(globals().orbital.speciesname, "the Li+2 Ion (Z=3)");
    EXPECT_EQ(globals().run.npoints, 1);

    useorbital(1);
    globals().orbital.currentz = 2;
    globals().orbital.speciesname = "the He+ Ion (Z=2)";
    writecsv(header("1,2,1") + "0.2,0,0,1\r\n");
    readpointfile();
    EXPECT_EQ(globals().orbital.currentz, 1);
    EXPECT_EQ(globals().orbital.speciesname, "the H Atom (Z=1)");
    EXPECT_EQ(form().lblCount.caption, "1");
}

TEST_F(PointFileTest, ReaderKeepsWhatItCountedFromBadInput) {
    auto& run = globals().run;
    const std::string csv = globals().orbital.csvfile;

    run.loadedfile = "previous";
    run.npoints = 7;
    form().lblCount.caption = "before";
    readpointfile();  // missing file: nothing changes
    EXPECT_EQ(run.npoints, 7);
    EXPECT_EQ(run.loadedfile, "previous");
    EXPECT_EQ(form().lblCount.caption, "before");

    struct Case {
        const char* what;
        std::string bytes;
        int counted;
        bool complete;
    };
    const std::string good = "0.2,0,0,1\r\n";
    const std::vector<Case> cases = {
        {"empty", "", 0, false},
        {"garbage header", "abc\r\n" + good + good, 2, false},
        {"short header", header("2,2") + good + good, 2, false},
        {"truncated line", header("3,2,1") + good + good + "0.2,0", 2, false},
        {"far outside", header("3,2,1") + good + "1000,0,0,1\r\n" + good, 1, false},
        {"NaN", header("3,2,1") + good + "0.1,NaN,0,1\r\n" + good, 1, false},
        {"overflowing number", header("3,2,1") + good + "0.1,0,0,1E+400\r\n" + good, 1, false},
        {"line feeds", "2,2,1\n0.2,0,0,1\n0.2,0,0,1\n", 2, true},
        {"count beyond the lines", header("2000000000,2,1") + good + good, 2, true},
    };
    for (const auto& c : cases) {
        run.loadedfile = "previous";
        writecsv(c.bytes);
        readpointfile();
        EXPECT_EQ(run.npoints, c.counted) << c.what;
        EXPECT_EQ(form().lblCount.caption, std::to_string(c.counted)) << c.what;
        // Selecting the species refreshes the orbital, which forgets the
        // old file; only a complete read names the new one.
        EXPECT_EQ(run.loadedfile == csv, c.complete) << c.what;
        EXPECT_EQ(globals().orbital.extent, 2) << c.what;
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(PointFileTest, LoadRedrawsTheHitsPlot) {
    auto& f = form();
    int enables = 0, redraws = 0;
    hooks().enablecontrols = [&](bool on) { enables += on ? 1 : -10; };
    f.optTheory[0].onclick = [&] { ++redraws; };
    writecsv(header("1,2,1") + "0.2,0,0,1\r\n");
    loadclick();
    EXPECT_EQ(enables, -9);
    EXPECT_EQ(redraws, 1);  // even though "Actual Hits" was selected before
    EXPECT_TRUE(f.optTheory[0].checked);
    EXPECT_EQ(globals().run.npoints, 1);
}

}  // namespace
}  // namespace vantrel
