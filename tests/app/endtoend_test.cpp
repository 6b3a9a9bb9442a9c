// The real program without a display: sequence files in, pages and
// messages out; stopped by signals at random moments of a run, the point
// file always stays continuable and no point on disk is lost.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <iostream>
#include <random>
#include <thread>

#include "support/testsupport.h"

namespace vantrel::test {
namespace {

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.file("home"));
        fs::create_directories(dir.file("work"));
        writeFile(dir.file("work/index.htm"), "help");  // keeps the help installer out
    }

    // Runs the program in dir/work with no display, a fixed seed and a home
    // of its own; returns the exit status, stdout goes to `out`, stderr to
    // `err` and on to the test's own (a sanitizer's report shows there). A
    // hung program is stopped after a minute. `shell` comes before the
    // program (ulimit, say), `pipe` takes its output.
    int vantrel(const std::vector<std::string>& arguments, const std::string& shell = "", const std::string& pipe = "") {
        std::string cmd = "cd '" + dir.file("work") + "' && " + shell + " env -i PATH=\"$PATH\" LD_LIBRARY_PATH=\"$LD_LIBRARY_PATH\" "
                          "ASAN_OPTIONS=\"$ASAN_OPTIONS\" UBSAN_OPTIONS=\"$UBSAN_OPTIONS\" "
                          "VANTREL_HOME='" + home + "' VANTREL_SEED=7 HOME='" + dir.file("home") +
                          "' QT_QPA_PLATFORM=offscreen timeout 60 '" + programCopyExe() + "'";
        for (const auto& a : arguments)
            if (!a.empty()) cmd += " '" + a + "'";
        cmd += " 2>'" + dir.file("stderr.txt") + "'";
        if (!pipe.empty()) cmd = "(" + cmd + "; echo $? >'" + dir.file("status.txt") + "') | " + pipe;
        const int status = std::system((cmd + " >'" + dir.file("stdout.txt") + "'").c_str());
        out = readFile(dir.file("stdout.txt"));
        err = readFile(dir.file("stderr.txt"));
        std::cerr << err;
        if (!pipe.empty()) return std::atoi(readFile(dir.file("status.txt")).c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string sequence(const std::string& text, const std::string& name = "seq.txt") {
        writeFile(dir.file(name), text);
        return dir.file(name);
    }

    TempDir dir{"endtoend"};
    std::string home = dir.file("main_vantrel"), cache = home + "/files", out, err;
};

// The console of a sequence run is the golden runs'; here CLEAR on the
// command line and the message those runs never print.
TEST_F(EndToEnd, ClearAndASequenceRun) {
    fs::create_directories(cache);
    writeFile(cache + "/old.htm", "old");
    EXPECT_EQ(vantrel({"CLEAR", sequence("maxpoints=625\r\n2 1 0 xy\r\n")}), 0) << out;
    EXPECT_FALSE(fs::exists(cache + "/old.htm"));
    EXPECT_TRUE(contains(out, "0 points, NODE! The region you have selected is a nodal plane. Select a different region.")) << out;
}

// Options are answered before anything is created: neither the main
// directory nor anything in the home appears.
TEST_F(EndToEnd, OptionsAreAnsweredOrRefusedBeforeAnythingIsCreated) {
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* out;
        const char* err;
    } cases[] = {
        {{""}, 0, "vantrel [CLEAR] SEQUENCE-FILE", ""},  // the usage
        {{"--help"}, 0, "[CLEAR] [sequence-file]", ""},
        {{"-h"}, 0, "-v, --version", ""},
        {{"--version"}, 0, "Vantrel 1.3.1\n", ""},
        {{"--bogus", "seq.txt"}, 2, "", "vantrel: Unknown option 'bogus'."},
        {{"CLEAR", "-x"}, 2, "", "Try 'vantrel --help'"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vantrel(c.arguments), c.status) << c.arguments[0];
        EXPECT_TRUE(contains(out, c.out)) << out;
        EXPECT_TRUE(contains(err, c.err)) << err;
        EXPECT_EQ(c.status == 0, err.empty()) << err;
        EXPECT_FALSE(fs::exists(home)) << c.arguments[0];
        EXPECT_TRUE(fs::is_empty(dir.file("home"))) << c.arguments[0];
    }
    // After "--" a name may begin with "-"; its errors reach standard error too.
    EXPECT_EQ(vantrel({"--", "-missing.txt"}), 1);
    const std::string opening = std::string(std::strerror(ENOENT)) + " opening " + dir.file("work/-missing.txt") + "\n";
    EXPECT_TRUE(contains(out, opening)) << out;
    EXPECT_EQ(err, opening);
}

// (Files that cannot be opened are the in-process sequence tests'.)
TEST_F(EndToEnd, BadInputGetsAClearMessage) {
    EXPECT_EQ(vantrel({sequence("maxpoints=625\n1,0,0\n1 0 0\n")}), 1);
    EXPECT_TRUE(contains(out, "The sequence file " + dir.file("seq.txt") + " is not of the correct file type. See " +
                                  home + "/input.txt\n0 orbitals were processed.")) << out;
    EXPECT_FALSE(fs::exists(cache + "/1_0_0_.csv"));
    EXPECT_TRUE(contains(err, "is not of the correct file type")) << err;
    EXPECT_FALSE(contains(err, "processed")) << err;
    EXPECT_EQ(vantrel({sequence("", "empty.txt")}), 0);
    EXPECT_EQ(err, "");
    EXPECT_TRUE(contains(out, "0 orbitals were processed.")) << out;
}

TEST_F(EndToEnd, UnwritableCacheAsksForAnotherDirectory) {
    fs::create_directories(home);
    writeFile(cache, "in the way");  // a file where the cache should be: not even root writes there
    EXPECT_EQ(vantrel({sequence("maxpoints=625\n1 0 0\n")}), 0) << out;
    EXPECT_TRUE(contains(out, "Enter a directory name containing the characters \"vantrel\" for saving files"));
    // The console takes the default: the first candidate that works.
    EXPECT_TRUE(fs::exists(dir.file("home/vantrel/files/1_0_0_.htm"))) << out;
}

// Nothing waits on a FIFO where a file of the cache goes: it is refused,
// said, and the run ends with a failure.
TEST_F(EndToEnd, FifosInTheCacheAreRefusedWithoutWaiting) {
    const std::string seq = sequence("maxpoints=625\n1 0 0\n");
    for (const char* name : {"1_0_0_.csv", "1_0_0_.xyz", "1_0_0_.htm", "names.htm", "index.htm"}) {
        fs::remove_all(home);
        fs::create_directories(cache);
        ASSERT_EQ(::mkfifo((cache + "/" + name).c_str(), 0600), 0);
        EXPECT_EQ(vantrel({seq}), 1) << name << out;
        EXPECT_TRUE(containsAll(out, {cache + "/" + name, "1 orbital was processed. 1 of them lacks files that could not be written."}));
    }
}

// A reader that goes away and the file-size limit stop the run like
// Ctrl-C: the orbital under way gets its page, the others are not begun.
TEST_F(EndToEnd, AClosedPipeOrTheFileSizeLimitEndTheRunWithAMessage) {
    const std::string seq = sequence("maxpoints=3000\n1 0 0\n2 0 0\n3 0 0\n4 0 0\n5 0 0\n");
    EXPECT_EQ(vantrel({seq}, "", "head -2"), 128 + SIGPIPE) << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2);
    // head leaves a moment after its two lines: one orbital or two are done.
    EXPECT_TRUE(fs::exists(cache + "/1_0_0_.htm"));
    EXPECT_EQ(fs::exists(cache + "/2_0_0_.csv"), fs::exists(cache + "/2_0_0_.htm"));
    EXPECT_FALSE(fs::exists(cache + "/5_0_0_.csv"));

    fs::remove_all(home);
    EXPECT_EQ(vantrel({seq}, "ulimit -f 40;"), 128 + SIGXFSZ) << out;
    EXPECT_TRUE(containsAll(out, {std::string(std::strerror(EFBIG)) + " writing " + cache + "/1_0_0_.csv", "1 orbital was processed."}));
    EXPECT_FALSE(fs::exists(cache + "/2_0_0_.csv"));  // a stop like Ctrl-C
}

using namespace std::chrono_literals;

class Signals : public EndToEnd {
protected:
    // Starts the program on a sequence file; stdout goes to out.txt.
    pid_t start(const std::string& text) {
        const std::string outFile = dir.file("out.txt"), exe = programCopyExe(), seq = sequence(text);
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (::chdir(dir.file("work").c_str()) != 0) ::_exit(126);
            const int fd = ::open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, 1);
            ::setenv("VANTREL_HOME", home.c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY"}) ::unsetenv(display);
            ::execl(exe.c_str(), exe.c_str(), seq.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        return pid;
    }
    // Waits until the run has put points on disk, past `above` bytes when
    // it continues a file.
    void waitForPoints(pid_t pid, std::uintmax_t above = 52 * 3) {
        for (int i = 0; i < 600; ++i) {
            std::error_code ec;
            const auto size = fs::file_size(csv, ec);
            if (!ec && size > above) return;
            int status = 0;
            ASSERT_EQ(::waitpid(pid, &status, WNOHANG), 0) << "ended early: " << readFile(dir.file("out.txt"));
            std::this_thread::sleep_for(50ms);
        }
        FAIL() << "no points after 30 s";
    }
    // Exit status, or 128 + the signal that ended it.
    int finish(pid_t pid) {
        for (int i = 0; i < 600; ++i) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid)
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            std::this_thread::sleep_for(50ms);
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return -1;
    }

    std::string csv = cache + "/1_0_0_.csv";
    // Slow on purpose: a few hundred points a second, never done.
    const std::string longRun = "maxpoints=100000000 extent=30\n1 0 0\n2 0 0\n";
};

// One signal ends the orbital cleanly and stops the sequence; a second one
// (0 below: SIGTERM twice) ends at once, the file still continuable.
TEST_F(Signals, FirstSignalEndsTheOrbitalCleanlySecondAtOnce) {
    for (int sig : {SIGINT, SIGTERM, SIGHUP, 0}) {
        fs::remove_all(home);
        const pid_t pid = start(longRun);
        waitForPoints(pid);
        ::kill(pid, sig ? sig : SIGTERM);
        if (!sig) ::kill(pid, SIGTERM);
        EXPECT_EQ(finish(pid), 128 + (sig ? sig : SIGTERM)) << sig;
        const std::string out = readFile(dir.file("out.txt"));
        const PointLines file = pointLines(readFile(csv));
        const long long count = file.count, whole = file.lines();
        EXPECT_GE(count, sig ? 1 : 0) << "the header count";
        if (!sig) {
            EXPECT_LE(count, whole) << "the header count against the whole lines";
            continue;
        }
        EXPECT_EQ(count, whole) << "the header count against the whole lines";
        EXPECT_TRUE(containsAll(out, {"  " + std::to_string(count) + " points, ", ", page " + cache + "/1_0_0_.htm",
                                      "1 orbital was processed."}));
        for (auto [name, made] : {std::pair{"2_0_0_.csv", false}, {"index.htm", true}, {"1_0_0_.xyz", true}})
            EXPECT_EQ(fs::exists(cache + "/" + name), made) << name;
    }
}

// Killed, continued, killed again, at random moments: every point that was
// on disk stays, and a clean stop leaves a header equal to the lines.
TEST_F(Signals, KilledRunsContinueWithoutLosingPoints) {
    std::mt19937 random(std::random_device{}());
    std::vector<std::string> before;
    for (int round = 0; round < 6; ++round) {
        std::error_code none;
        const std::uintmax_t had = round == 0 ? 0 : fs::file_size(csv, none);
        const pid_t pid = start(round == 0 ? longRun : "continue\n" + longRun);
        waitForPoints(pid, had + 52 * 3);  // a refused continuation ends early
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 400));
        const int sig = round == 5 ? SIGINT : SIGKILL;
        ::kill(pid, sig);
        EXPECT_EQ(finish(pid), sig == SIGINT ? 130 : 128 + SIGKILL);
        const auto [count, points] = pointLines(readFile(csv));
        // The header counts whole lines only (a kill between the points
        // and their header patch may leave it behind, never ahead).
        ASSERT_GE(count, 0) << round;
        EXPECT_LE(count, static_cast<long long>(points.size())) << round;
        ASSERT_GE(points.size(), before.size()) << round;
        ASSERT_TRUE(std::equal(before.begin(), before.end(), points.begin())) << "points lost in round " << round;
        before = points;  // a cut-off last line is none of them
        if (sig == SIGINT) {
            EXPECT_EQ(count, static_cast<long long>(points.size()));
        }
    }
}

}  // namespace
}  // namespace vantrel::test
