// The sequence file and the command line, run in the test process.
#include <gtest/gtest.h>

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

using namespace test;

class SequenceTest : public FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        installreactions();
        ASSERT_EQ(setmaindir(dir.file("seq_vantrel")), 0);
        cache = globals().maindir + "/files";
        speciesmenu(0);
    }
    // Writes the sequence file and runs it.
    void run(const std::string& text) {
        writefile(seq, text);
        std::string name = seq;
        runsequence(name);
    }
    const std::string& last() { return dialogs.shown.back().text; }

    TempDir dir;
    std::string cache, seq = dir.file("seq.txt");
};

TEST_F(SequenceTest, KeywordsAndNumbersSetTheControls) {
    struct Case {
        const char* line;
        std::vector<Control*> on, off;
    };
    const Case cases[] = {
        {"nojmol\njmolaxes", {&f.chkJmol, &f.chkJmolAxes}, {}},  // "jmolaxes" holds "jmol"
        {"nojmolbox", {}, {&f.chkJmol, &f.chkJmolBox}},
        {"chime", {}, {&f.chkJmol}}, {"nochime", {&f.chkJmol}, {}},
        // The exclusive pairs: the later assignment wins.
        {"energy", {&f.chkEnergy[0]}, {&f.chkEnergy[1]}}, {"energy (J)", {&f.chkEnergy[1]}, {&f.chkEnergy[0]}},
        {"noenergy", {}, {&f.chkEnergy[0], &f.chkEnergy[1]}},
        {"full four", {&f.chk4Panel}, {&f.chkFull}}, {"full", {&f.chkFull}, {&f.chk4Panel}},
        {"black start small first", {&f.chkBlack, &f.chkRotate, &f.chksmallerdots, &f.chk1st}, {}},
        {"noblack nostart nosmall nofirst", {}, {&f.chkBlack, &f.chkRotate, &f.chksmallerdots, &f.chk1st}},
        {"quick", {&f.mnuQuick}, {}}, {"noquick", {}, {&f.mnuQuick}},
        {"nodes", {&f.OptColor[1]}, {&f.OptColor[0]}}, {"nonodes", {&f.OptColor[0]}, {&f.OptColor[1]}},
        {"noprobability", {&f.OptColor[1]}, {&f.OptColor[0]}}, {"probability", {&f.OptColor[0]}, {&f.OptColor[1]}},
        {"Quick Black Nodes Chime", {&f.OptColor[0], &f.chkJmol}, {&f.mnuQuick, &f.chkBlack}},  // case matters
    };
    for (const auto& c : cases) {
        dialogs.shown.clear();
        run(c.line);
        for (Control* on : c.on) EXPECT_TRUE(on->checked) << c.line << ": " << on->name;
        for (Control* off : c.off) EXPECT_FALSE(off->checked) << c.line << ": " << off->name;
        EXPECT_EQ(dialogs.shown.size(), 2u) << c.line;  // "quick" asks nothing
    }
    EXPECT_EQ(dialogs.shown.front().text, "Reading input data from  " + seq);
    EXPECT_EQ(last(), "0 orbitals were processed.");
    EXPECT_EQ(lastsequenceoutcome(), SequenceOutcome::Done);

    run("maxpoints=2000 extent=7\nmaxpoints=0 maxpoints=5");  // the first occurrence counts
    EXPECT_TRUE(f.txtmax.text == "2000" && f.txtscal.text == "7");
    run("Z=200");  // the menu's limit of 120 is not the batch's
    EXPECT_EQ(globals().orbital.speciesname, "Z=200");
    run("Z=3\nZ=0");
    EXPECT_EQ(globals().orbital.speciesname, "the Li+2 Ion (Z=3)");
    // Automatic extent stays on through comments and keyword lines.
    for (auto [text, extent] : {std::pair{"Z=1\nextent=0", "2"}, {"extent=0\n# a comment, with commas\nZ=10", "1"},
                                {"extent=0\nextent=5\nZ=1", "5"}}) {
        run(text);
        EXPECT_EQ(f.txtscal.text, extent) << text;
    }
}

TEST_F(SequenceTest, FileAndLineProblemsAndCommandLine) {
    std::string relative = "no//such.txt";  // made absolute, doubled separators collapse
    runsequence(relative);
    EXPECT_EQ(relative, fs::current_path().string() + "/no/such.txt");
    EXPECT_EQ(lastsequenceoutcome(), SequenceOutcome::OpenFailed);
    dialogs.answers.push_back(Answer::Cancel);  // nothing read
    run("black");
    EXPECT_TRUE(!f.chkBlack.checked && lastsequenceoutcome() == SequenceOutcome::Cancelled);

    const std::string wrong = "The sequence file " + seq + " is not of the correct file type. See " +
                              globals().maindir + "/input.txt";
    for (const std::string text : {std::string("# commas, in a comment\nblack\n2,1,0\nstart"),
                                   std::string("black\n\x7f" "ELF\x02\x01\0\0start", 19)}) {
        dialogs.shown.clear();
        run(text);
        ASSERT_EQ(dialogs.shown.size(), 3u);
        EXPECT_TRUE(dialogs.shown[1].text == wrong && last() == "0 orbitals were processed.");
        EXPECT_TRUE(f.chkBlack.checked && !f.chkRotate.checked);  // stops at the bad line
        EXPECT_EQ(lastsequenceoutcome(), SequenceOutcome::WrongType);
    }

    // Far too long for a sequence line.
    run(std::string(1500000, ' ') + "noblack\n");
    EXPECT_EQ(dialogs.shown.end()[-2].text, "Line 1 of the sequence file " + seq + " is too long to be a sequence line.");
    EXPECT_TRUE(f.chkBlack.checked);
    // Old Mac line ends and a byte-order mark.
    run("\xEF\xBB\xBFmaxpoints=700\rZ=4\rnoblack");
    EXPECT_TRUE(f.txtmax.text == "700" && o.currentz == 4 && f.Form1.caption == "seq.txt line 3: noblack");

    // The command line: CLEAR and file names.
    dialogs.shown.clear();
    writefile(cache + "/old.htm", "old");
    EXPECT_FALSE(applycommandline("CLEAR"));  // cleared without asking, nothing read
    EXPECT_FALSE(fileexists(cache + "/old.htm") || applycommandline("  "));
    EXPECT_TRUE(dialogs.shown.empty());

    writefile(cache + "/old.htm", "old");
    EXPECT_TRUE(applycommandline("a.txt CLEAR b.txt"));
    EXPECT_FALSE(fileexists(cache + "/old.htm"));
    EXPECT_EQ(dialogs.shown.front().text, "Reading input data from  " + fs::current_path().string() + "/a.txtb.txt");
    writefile(cache + "/old.htm", "old");
    applycommandline("clear");  // a file name, not the word
    EXPECT_TRUE(fileexists(cache + "/old.htm"));
}

TEST_F(SequenceTest, StateLinesMakeOrbitals) {
    writefile(cache + "/old.htm", "old");
    run("maxpoints=625 extent=0\r\nCLEAR\r\n1 0 0\r\nCLEAR\r\n2 1 1 XY\r\n");
    EXPECT_EQ(last(), "2 orbitals were processed.");
    EXPECT_FALSE(fileexists(cache + "/old.htm"));  // CLEAR before the first state line, not after it
    EXPECT_TRUE(fileexists(cache + "/1_0_0_.htm") && fileexists(cache + "/2_1_1_xy.htm"));
    EXPECT_TRUE(f.optAll[3].checked && f.txtscal.text == "6" && f.Command1.enabled && f.Frame2.enabled);

    run("1 0 0 somewhere");
    EXPECT_TRUE(last() == "1 orbital was processed." && f.optAll[0].checked);
    // Invalid numbers count as a state line but sample nothing and write no
    // page: no "Couldn't create" message for a point file never written.
    dialogs.shown.clear();
    run("0 1 0\n3 3 0\n");
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_TRUE(last() == "2 orbitals were processed." && !fileexists(cache + "/3_3_0_.csv"));
    // continue: up to the next multiple of the quota
    for (auto [text, count] : {std::pair{"1 0 0", "625,"}, {"continue\n1 0 0", "1250,"}, {"nocontinue continue\n1 0 0", "625,"}}) {
        run(text);
        EXPECT_TRUE(startswith(readfile(cache + "/1_0_0_.csv"), count)) << text;
    }

    // A stop request asks whether to go on; No ends after this orbital. The
    // quota is large so that the run lets events in before it is done.
    hooks().processevents = [] { globals().run.stoprequested = true; };
    dialogs.answers = {Answer::OK, Answer::No};
    dialogs.shown.clear();
    run("maxpoints=1000000\n1 0 0\n2 0 0\n");
    EXPECT_EQ(dialogs.shown[1].text, "Do you want to continue processing of " + seq + "?");
    EXPECT_TRUE(last() == "1 orbital was processed." && !fileexists(cache + "/2_0_0_.htm"));
}

}  // namespace
}  // namespace vantrel
