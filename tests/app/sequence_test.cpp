// The sequence file and the command line, run in the test process.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <set>
#include <tuple>

#include "support/testsupport.h"
#include "output/fileutil.h"
#include "app/orbitalcontrols.h"
#include "app/orbitalexports.h"

namespace vantrel {
namespace {

using namespace test;

class SequenceTest : public SequenceState {
protected:
    void SetUp() override {
        SequenceState::SetUp();
        speciesMenu(s, 0);
    }
    const std::string& last() { return dialogs.shown.back().text; }
    auto outcome() { return std::tuple(last(), s.sequenceOutcome); }
};

TEST_F(SequenceTest, KeywordsAndNumbersSetTheControls) {
    struct Case {
        const char* line;
        std::vector<Control*> on, off;
    };
    // The other forms are in the golden runs, whose pages show every one of
    // these boxes: here the forms they do not use.
    Control *const nodes = &f.colourModeOptions[1], *const probability = &f.colourModeOptions[0];
    const Case cases[] = {
        {"nojmolbox", {}, {&f.useJmolCheck, &f.jmolBoundingBoxCheck}},  // "nojmolbox" holds "nojmol"
        {"nochime", {&f.useJmolCheck}, {}},
        {"energy", {&f.energyChecks[0]}, {&f.energyChecks[1]}}, {"noenergy", {}, {&f.energyChecks[0], &f.energyChecks[1]}},
        {"noprobability", {nodes}, {probability}}, {"nonodes", {probability}, {nodes}},
        {"Quick Black Nodes Chime", {probability, &f.useJmolCheck}, {&f.quickMenuItem, &f.blackBackgroundCheck}},  // case matters
    };
    for (const auto& c : cases) {
        run(c.line);
        for (Control* on : c.on) EXPECT_TRUE(on->checked) << c.line << ": " << on->name;
        for (Control* off : c.off) EXPECT_FALSE(off->checked) << c.line << ": " << off->name;
        EXPECT_EQ(dialogs.shown.size(), 2u) << c.line;  // the reading and the count: nothing asks
    }
    EXPECT_EQ(outcome(), std::tuple("0 orbitals were processed.", SequenceOutcome::Done));

    // The first occurrence counts; quotas beyond the viewer are warned of.
    run("maxpoints=2000000\nmaxpoints=2000001 extent=7\nmaxpoints=0 maxpoints=5");
    EXPECT_EQ(std::tuple(f.maxPointsText.text, f.extentText.text), std::tuple("2000001", "7"));
    EXPECT_EQ(dialogs.shown.size(), 3u);  // the reading, one warning, the count
    EXPECT_TRUE(dialogs.saw("2000001 points are more than the page's viewer draws: it shows an even share of at most "
                            "2000000 of them."));
    for (auto [text, species] : {std::pair{"Z=200", "Z=200"}, {"Z=3\nZ=0", "the Li+2 Ion (Z=3)"}}) {  // no menu limit of 120
        run(text);
        EXPECT_EQ(s.orbital.speciesName, species);
    }
    // Automatic extent stays on through comments and keyword lines.
    for (auto [text, extent] : {std::pair{"Z=1\nextent=0", "2"}, {"extent=0\n# a comment, with commas\nZ=10", "1"},
                                {"extent=0\nextent=5\nZ=1", "5"}}) {
        run(text);
        EXPECT_EQ(f.extentText.text, extent) << text;
    }
}

TEST_F(SequenceTest, FileAndLineProblemsAndCommandLine) {
    std::string relative = "no//such.txt";  // made absolute, doubled separators collapse
    runSequence(s, relative);
    EXPECT_EQ(std::tuple(relative, s.sequenceOutcome), std::tuple(fs::current_path().string() + "/no/such.txt", SequenceOutcome::OpenFailed));
    dialogs.answers.push_back(Answer::Cancel);  // nothing read
    run("black");
    EXPECT_EQ(std::tuple(f.blackBackgroundCheck.checked, s.sequenceOutcome), std::tuple(false, SequenceOutcome::Cancelled));

    const std::string wrong = "The sequence file " + seq + " is not of the correct file type. See " +
                              s.mainDir + "/input.txt";
    for (const std::string& text : {std::string("# commas, in a comment\nblack\n2,1,0\nstart"),
                                   std::string("black\n\x7f" "ELF\x02\x01\0\0start", 19)}) {
        run(text);
        ASSERT_EQ(dialogs.shown.size(), 3u);
        EXPECT_EQ(std::tuple(dialogs.shown[1].text, s.sequenceOutcome), std::tuple(wrong, SequenceOutcome::WrongType));
        // stops at the bad line
        EXPECT_EQ(std::tuple(f.blackBackgroundCheck.checked, f.startRotationCheck.checked), std::tuple(true, false));
    }

    // Far too long for a sequence line.
    run(std::string(1500000, ' ') + "noblack\n");
    EXPECT_EQ(dialogs.shown.end()[-2].text, "Line 1 of the sequence file " + seq + " is too long to be a sequence line.");
    EXPECT_TRUE(f.blackBackgroundCheck.checked);
    // A DOS end-of-file mark ends the file, also right after a last line
    // without its line end.
    for (const std::string text : {"black\r\n\x1A", "black\x1A", "black\r\n\x1A\r\n1,2 garbage\x01"}) {
        f.blackBackgroundCheck.setChecked(false);
        run(text);
        EXPECT_EQ(std::tuple(s.sequenceOutcome, dialogs.shown.size(), f.blackBackgroundCheck.checked),
                  std::tuple(SequenceOutcome::Done, 2u, true)) << text;
    }
    // Old Mac line ends and a byte-order mark.
    run("\xEF\xBB\xBFmaxpoints=700\rZ=4\rnoblack");
    EXPECT_EQ(std::tuple(f.maxPointsText.text, o.currentZ, f.window.caption), std::tuple("700", 4, "seq.txt line 3: noblack"));

    // The command line: CLEAR and file names.
    dialogs.shown.clear();
    writeFile(cache + "/old.htm", "old");
    EXPECT_FALSE(applyCommandLine(s, {"CLEAR"}));  // cleared without asking, nothing read
    EXPECT_FALSE(fileExists(cache + "/old.htm"));
    EXPECT_FALSE(applyCommandLine(s, {"  "}));
    EXPECT_TRUE(dialogs.shown.empty());
    writeFile(cache + "/old.htm", "old");
    EXPECT_TRUE(applyCommandLine(s, {"a.txt", "CLEAR", "b.txt"}));
    EXPECT_FALSE(fileExists(cache + "/old.htm"));
    EXPECT_EQ(dialogs.shown.front().text, "Reading input data from  " + fs::current_path().string() + "/a.txt b.txt");
    // Only an argument that is the word clears: not one inside a name,
    // not the word in other capitals.
    for (const std::string name : {"run CLEAR 2.txt", " CLEAR ", "clear"}) {
        writeFile(cache + "/old.htm", "old");
        dialogs.shown.clear();
        applyCommandLine(s, {name});
        EXPECT_TRUE(fileExists(cache + "/old.htm")) << name;
        EXPECT_TRUE(contains(dialogs.shown.front().text, name == " CLEAR " ? "/CLEAR" : name)) << dialogs.shown.front().text;
    }
}

TEST_F(SequenceTest, MissingLockedEndlessAndLostFilesAreRefused) {
    // A FIFO without a writer would block in open(); devices never end.
    const std::string fifo = dir.file("fifo"), locked = dir.file("locked.txt"), notRegular = "Not a regular file";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    writeFile(locked, "black\n");
    ::chmod(locked.c_str(), 0);
    for (auto [name, error] : {std::pair{fifo, notRegular}, {std::string("/dev/zero"), notRegular},
                               {dir.file("missing.txt"), std::string(std::strerror(ENOENT))},
                               {dir.path(), std::string(std::strerror(EISDIR))}, {locked, std::string(std::strerror(EACCES))}}) {
        if (name == locked && ::geteuid() == 0) continue;  // root reads whatever the permissions say
        runFile(name);
        EXPECT_EQ(outcome(), std::tuple(error + " opening " + name, SequenceOutcome::OpenFailed));
    }
    // A regular file of one endless line (a sparse terabyte of zeros, as
    // good as /dev/zero): the line limit stops the reading itself.
    writeFile(seq, "");
    fs::resize_file(seq, std::uintmax_t{1} << 40);
    runFile(seq);  // before: an hour of reading
    EXPECT_TRUE(contains(dialogs.shown.end()[-2].text, "is too long to be a sequence line."));
    // A relative name after the working directory was removed.
    const auto here = fs::current_path();
    fs::create_directory(dir.file("gone"));
    fs::current_path(dir.file("gone"));
    fs::remove(dir.file("gone"));
    runFile("seq.txt");
    fs::current_path(here);
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_TRUE(contains(last(), " finding the current directory for seq.txt")) << last();
    EXPECT_FALSE(dialogs.saw("Reading input data from  /seq.txt"));
    EXPECT_EQ(s.sequenceOutcome, SequenceOutcome::OpenFailed);
}

TEST_F(SequenceTest, StateLinesMakeOrbitals) {
    writeFile(cache + "/old.htm", "old");
    run("maxpoints=625 extent=0\r\nCLEAR\r\n1 0 0\r\nCLEAR\r\n2 1 1 XY\r\n");
    EXPECT_EQ(last(), "2 orbitals were processed.");
    // CLEAR before the first state line, not after it
    for (auto [name, kept] : {std::pair{"old.htm", false}, {"1_0_0_.htm", true}, {"2_1_1_xy.htm", true}})
        EXPECT_EQ(fileExists(cache + "/" + name), kept) << name;
    EXPECT_EQ(std::tuple(f.regionOptions[1].checked, f.extentText.text, f.calculateButton.enabled, f.displayFrame.enabled),
              std::tuple(true, "6", true, true));

    run("1 0 0 somewhere");
    EXPECT_EQ(std::tuple(last(), f.regionOptions[0].checked), std::tuple("1 orbital was processed.", true));
    // Invalid numbers, "continue" and "nocontinue" are in the golden runs;
    // not two on one line, where "nocontinue" wins.
    run("1 0 0\nnocontinue continue\n1 0 0");
    EXPECT_TRUE(startsWith(readFile(cache + "/1_0_0_.csv"), "625,"));

    // A stop request asks whether to go on; No ends after this orbital. The
    // quota is large so that the run lets events in before it is done.
    s.hooks.processEvents = [this] { s.run.stopRequested.request(); };
    dialogs.answers = {Answer::OK, Answer::No};
    run("maxpoints=1000000\n1 0 0\n2 0 0\n");
    EXPECT_EQ(dialogs.shown[1].text, "Do you want to continue processing of " + seq + "?");
    EXPECT_EQ(last(), "1 orbital was processed.");
    EXPECT_FALSE(fileExists(cache + "/2_0_0_.htm"));
}

// Pictures as the sequence asks for them, written as a word each or refused.
class RecordingPictures : public PictureWriter {
public:
    std::string writeCloudPicture(const std::string& path, const CloudViewState& state,
                                  const std::vector<CloudPoint>& points, const std::vector<SurfaceMesh>& surfaces,
                                  int size) override {
        states.push_back(state);
        surfaceCounts.push_back(surfaces.size());
        pointCounts.push_back(points.size());
        EXPECT_EQ(size, cloudPictureSize);
        return write(path);
    }
    std::string writeSlicePicture(const std::string& path, const SliceImage& slice, double scaleEnd) override {
        EXPECT_EQ(slice.width, slicePixels);
        EXPECT_GE(scaleEnd, 0);
        return write(path);
    }
    std::string write(const std::string& path) {
        if (!problem.empty()) return problem;
        writeFile(path, "picture");
        return "";
    }
    std::vector<CloudViewState> states;
    std::vector<std::size_t> pointCounts, surfaceCounts;
    std::string problem;
};

TEST_F(SequenceTest, ExportKeywordsLastUntilTheirNegativeForms) {
    RecordingPictures pictures;
    s.pictures = &pictures;
    run("maxpoints=625 extent=0 black\nimage slice\n1 0 0\nnoimage cube\n2 1 0\nnoslice nocube enclose=50 surface image\n"
        "3 2 0\nenclose=5\nnosurface noimage\n2 0 0\n");
    EXPECT_EQ(pictures.pointCounts, (std::vector<std::size_t>{625, 625})) << "1s and 3d have pictures";
    EXPECT_EQ(pictures.surfaceCounts, (std::vector<std::size_t>{0, 2})) << "3d's with its surfaces";
    ASSERT_EQ(pictures.states.size(), 2u);
    EXPECT_TRUE(pictures.states[0].blackBackground);
    EXPECT_EQ(pictures.states[0].camera, CloudCamera{}) << "the default view";
    EXPECT_TRUE(startsWith(pictures.states[1].surfaceNote, "50 % inside |ψ| = ")) << pictures.states[1].surfaceNote;
    struct Expected {
        const char* name;
        std::set<std::string> endings;
    };
    const char* const all[] = {".png", ".xy.png", ".yz.png", ".xz.png", ".cube", ".glb", ".stl", ".surface.js"};
    for (const Expected& e : {Expected{"1_0_0_", {".png", ".xy.png", ".yz.png", ".xz.png"}},
                              Expected{"2_1_0_", {".xy.png", ".yz.png", ".xz.png", ".cube"}},
                              Expected{"3_2_0_", {".png", ".glb", ".stl", ".surface.js"}}, Expected{"2_0_0_", {}}}) {
        for (const char* ending : all)
            EXPECT_EQ(fileExists(cache + "/" + e.name + ending), e.endings.count(ending) == 1) << e.name << ending;
        // The page offers what was written beside it, and nothing else.
        const std::string page = readFile(cache + "/" + e.name + ".htm");
        EXPECT_EQ(contains(page, "<script src=" + std::string(e.name) + ".surface.js "),
                  e.endings.count(".surface.js") == 1) << e.name;
        EXPECT_EQ(contains(page, "<a href=" + std::string(e.name) + ".xz.png "), e.endings.count(".xz.png") == 1)
            << e.name;
    }
    EXPECT_TRUE(dialogs.saw("enclose= takes a percentage from 10 to 99; the surfaces keep enclosing 50 %."));
    EXPECT_EQ(s.sequenceOutcome, SequenceOutcome::Done);

    // A picture that cannot be written is said and makes the run incomplete.
    pictures.problem = "disk full";
    run("maxpoints=625\nimage\n1 0 0\n");
    EXPECT_TRUE(dialogs.saw("Couldn't write " + cache + "/1_0_0_.png: disk full"));
    EXPECT_EQ(s.sequenceOutcome, SequenceOutcome::Incomplete);
}

}  // namespace
}  // namespace vantrel
