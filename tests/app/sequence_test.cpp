// The sequence file and the command line, run in the test process.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/maindir.h"
#include "app/mainwindow.h"
#include "app/sequence.h"
#include "engine/formstate.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "engine/textutil.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::readfile;
using test::writefile;

class SequenceTest : public test::FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        installreactions();
        ASSERT_EQ(setmaindir(dir.file("seq_vantrel")), 0);
        cache = globals().maindir + "/files";
        speciesmenu(0);
    }

    // Writes the sequence file and runs it; returns its full name.
    std::string run(const std::string& text, const std::string& name = "seq.txt") {
        writefile(dir.file(name), text);
        std::string path = dir.file(name);
        runsequence(path);
        return path;
    }
    const std::string& last() { return dialogs.shown.back().text; }

    test::TempDir dir;
    std::string cache;
};

TEST_F(SequenceTest, KeywordsSetTheControls) {
    auto& f = form();
    const std::string name = run("nojmol\r\njmolaxes\r\n");
    EXPECT_EQ(dialogs.shown.front().text, "Reading input data from  " + name);
    EXPECT_EQ(last(), "0 orbitals were processed.");
    EXPECT_TRUE(f.chkJmol.checked);  // "jmolaxes" holds "jmol"
    EXPECT_TRUE(f.chkJmolAxes.checked);
    EXPECT_EQ(lastsequenceoutcome(), SequenceOutcome::Done);

    run("nojmolbox\n");
    EXPECT_FALSE(f.chkJmol.checked);
    EXPECT_FALSE(f.chkJmolBox.checked);
    run("chime\nnochime\n");
    EXPECT_TRUE(f.chkJmol.checked);

    // The exclusive pairs: the later assignment wins.
    run("energy\n");
    EXPECT_TRUE(f.chkEnergy[0].checked);
    EXPECT_FALSE(f.chkEnergy[1].checked);
    run("energy (J)\n");
    EXPECT_FALSE(f.chkEnergy[0].checked);
    EXPECT_TRUE(f.chkEnergy[1].checked);
    run("noenergy\n");
    EXPECT_FALSE(f.chkEnergy[0].checked || f.chkEnergy[1].checked);
    run("full four\n");
    EXPECT_TRUE(f.chk4Panel.checked);
    EXPECT_FALSE(f.chkFull.checked);
    run("full\n");
    EXPECT_TRUE(f.chkFull.checked);
    EXPECT_FALSE(f.chk4Panel.checked);

    run("black start small first\n");
    EXPECT_TRUE(f.chkBlack.checked && f.chkRotate.checked && f.chksmallerdots.checked && f.chk1st.checked);
    run("noblack nostart nosmall nofirst nofull\n");
    EXPECT_FALSE(f.chkBlack.checked || f.chkRotate.checked || f.chksmallerdots.checked || f.chk1st.checked ||
                 f.chkFull.checked);

    // Quick mode without the menu's question.
    dialogs.shown.clear();
    run("quick\n");
    EXPECT_TRUE(f.mnuQuick.checked);
    EXPECT_TRUE(globals().orbital.quickmode);
    EXPECT_EQ(dialogs.shown.size(), 2u);
    run("noquick\n");
    EXPECT_FALSE(f.mnuQuick.checked);

    run("nodes\n");
    EXPECT_TRUE(f.OptColor[1].checked);
    EXPECT_EQ(globals().orbital.colorsuffix, "_n");
    run("nonodes\n");
    EXPECT_TRUE(f.OptColor[0].checked);
    run("noprobability\n");
    EXPECT_TRUE(f.OptColor[1].checked);
    run("probability\n");
    EXPECT_TRUE(f.OptColor[0].checked);

    // Case matters: none of these is a keyword.
    run("Quick Black Jmol Nodes\n");
    EXPECT_FALSE(f.mnuQuick.checked || f.chkBlack.checked);
    EXPECT_TRUE(f.OptColor[0].checked);
}

TEST_F(SequenceTest, NumbersAfterKeywords) {
    auto& f = form();
    run("maxpoints=2000 extent=7\n");
    EXPECT_EQ(f.txtmax.text, "2000");
    EXPECT_EQ(f.txtscal.text, "7");
    run("maxpoints=0 maxpoints=5\n");  // the first occurrence counts
    EXPECT_EQ(f.txtmax.text, "2000");

    run("Z=200\n");
    EXPECT_EQ(globals().orbital.currentz, 200);
    EXPECT_EQ(globals().orbital.speciesname, "Z=200");
    run("Z=3\n");
    EXPECT_EQ(globals().orbital.speciesname, "the Li+2 Ion (Z=3)");
    run("Z=0\n");
    EXPECT_EQ(globals().orbital.currentz, 3);

    // Automatic extent stays on through comment and keyword lines until an
    // extent of 1 or more.
    run("Z=1\nextent=0\n");
    EXPECT_EQ(f.txtscal.text, "2");
    run("extent=0\n# a comment, with commas\nZ=10\n");
    EXPECT_EQ(f.txtscal.text, "1");
    run("extent=0\nextent=5\nZ=1\n");
    EXPECT_EQ(f.txtscal.text, "5");
}

TEST_F(SequenceTest, FileAndLineProblems) {
    // The name is made absolute and doubled separators collapse.
    std::string relative = "no//such.txt";
    runsequence(relative);
    const std::string expected = fs::current_path().string() + "/no/such.txt";
    EXPECT_EQ(relative, expected);
    EXPECT_EQ(last(), std::string(std::strerror(ENOENT)) + " opening " + expected);
    EXPECT_EQ(lastsequenceoutcome(), SequenceOutcome::OpenFailed);

    std::string folder = dir.path();
    runsequence(folder);
    EXPECT_EQ(last(), std::string(std::strerror(EISDIR)) + " opening " + dir.path());

    // Cancel in the first box: nothing read.
    dialogs.answers.push_back(Answer::Cancel);
    run("black\n");
    EXPECT_FALSE(form().chkBlack.checked);
    EXPECT_EQ(lastsequenceoutcome(), SequenceOutcome::Cancelled);

    const std::string wrong = "The sequence file " + dir.file("seq.txt") + " is not of the correct file type. See " +
                              globals().maindir + "/input.txt";
    dialogs.shown.clear();
    run("# commas, in a comment\nblack\n2,1,0\nstart\n");
    ASSERT_EQ(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[1].text, wrong);
    EXPECT_EQ(last(), "0 orbitals were processed.");
    EXPECT_TRUE(form().chkBlack.checked);
    EXPECT_FALSE(form().chkRotate.checked);
    EXPECT_EQ(lastsequenceoutcome(), SequenceOutcome::WrongType);

    dialogs.shown.clear();
    run(std::string("\x7f" "ELF\x02\x01\x01\0\0\0\0black", 16));
    EXPECT_EQ(dialogs.shown[1].text, wrong);

    run("");
    EXPECT_EQ(last(), "0 orbitals were processed.");
    EXPECT_EQ(lastsequenceoutcome(), SequenceOutcome::Done);

    // A long line is read like any other; the caption shows only its start.
    run("nostart\n" + std::string(100000, 'x') + " start\n");
    EXPECT_EQ(last(), "0 orbitals were processed.");
    EXPECT_TRUE(form().chkRotate.checked);
    EXPECT_LT(form().Form1.caption.size(), 300u);
    EXPECT_EQ(form().Form1.caption.rfind("seq.txt line 2: xxx", 0), 0u);

    // Far too long for a sequence line: stop with a message.
    dialogs.shown.clear();
    run(std::string(1500000, ' ') + "black\n");
    EXPECT_EQ(dialogs.shown[1].text, "Line 1 of the sequence file " + dir.file("seq.txt") +
                                         " is too long to be a sequence line.");
    EXPECT_EQ(lastsequenceoutcome(), SequenceOutcome::WrongType);

    // Old Mac line ends and a byte-order mark.
    run("\xEF\xBB\xBFmaxpoints=700\rZ=4\rnoblack");
    EXPECT_EQ(form().txtmax.text, "700");
    EXPECT_EQ(globals().orbital.currentz, 4);
    EXPECT_FALSE(form().chkBlack.checked);
    EXPECT_EQ(form().Form1.caption, "seq.txt line 3: noblack");
}

TEST_F(SequenceTest, CommandLine) {
    writefile(cache + "/old.htm", "old");
    dialogs.shown.clear();
    EXPECT_FALSE(applycommandline("CLEAR"));
    EXPECT_FALSE(fileexists(cache + "/old.htm"));
    EXPECT_TRUE(dialogs.shown.empty());  // cleared without asking, no file read

    EXPECT_FALSE(applycommandline("  "));
    EXPECT_TRUE(dialogs.shown.empty());

    writefile(cache + "/old.htm", "old");
    EXPECT_TRUE(applycommandline("a.txt CLEAR b.txt"));
    EXPECT_FALSE(fileexists(cache + "/old.htm"));
    EXPECT_EQ(dialogs.shown.front().text,
              "Reading input data from  " + fs::current_path().string() + "/a.txtb.txt");

    // "clear" in lower case is a file name, not the word.
    writefile(cache + "/old.htm", "old");
    applycommandline("clear");
    EXPECT_TRUE(fileexists(cache + "/old.htm"));
}

TEST_F(SequenceTest, StateLinesMakeOrbitals) {
    auto& f = form();
    writefile(cache + "/old.htm", "old");
    run("maxpoints=625 extent=0\r\nCLEAR\r\n1 0 0\r\nCLEAR\r\n2 1 1 XY\r\n");
    EXPECT_EQ(last(), "2 orbitals were processed.");
    EXPECT_FALSE(fileexists(cache + "/old.htm"));       // CLEAR before the first state line
    EXPECT_TRUE(fileexists(cache + "/1_0_0_.htm"));     // not after it
    EXPECT_TRUE(fileexists(cache + "/2_1_1_xy.htm"));
    EXPECT_TRUE(f.optAll[3].checked);
    EXPECT_EQ(f.txtscal.text, "6");
    EXPECT_EQ(readfile(cache + "/1_0_0_.csv").rfind("625,", 0), 0u);
    EXPECT_TRUE(f.Command1.enabled && f.Frame2.enabled);

    run("1 0 0 somewhere\n");
    EXPECT_EQ(last(), "1 orbital was processed.");
    EXPECT_TRUE(f.optAll[0].checked);

    // "continue" appends up to the next multiple of the quota.
    run("continue\n1 0 0\n");
    EXPECT_EQ(readfile(cache + "/1_0_0_.csv").rfind("1250,", 0), 0u);
    run("nocontinue continue\n1 0 0\n");
    EXPECT_EQ(readfile(cache + "/1_0_0_.csv").rfind("625,", 0), 0u);

    // A stop request asks whether to go on; No ends after this orbital. The
    // quota is large so that the run lets events in before it is done.
    hooks().processevents = [] { globals().run.stoprequested = true; };
    dialogs.answers = {Answer::OK, Answer::No};
    dialogs.shown.clear();
    run("maxpoints=1000000\n1 0 0\n2 0 0\n");
    EXPECT_EQ(dialogs.shown[1].text, "Do you want to continue processing of " + dir.file("seq.txt") + "?");
    EXPECT_EQ(last(), "1 orbital was processed.");
    EXPECT_FALSE(fileexists(cache + "/2_0_0_.htm"));
}

}  // namespace
}  // namespace vantrel
