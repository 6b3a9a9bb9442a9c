// The real program stopped by signals at random moments of a run: the
// point file always stays continuable and no point on disk is lost.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include "support/testsupport.h"

namespace vantrel {
namespace {

using namespace test;
using namespace std::chrono_literals;

class Signals : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.file("work"));
        writeFile(dir.file("work/index.htm"), "help");  // keeps the help installer out
    }
    // Starts the program on a sequence file; stdout goes to out.txt.
    pid_t start(const std::string& text) {
        writeFile(dir.file("seq.txt"), text);
        const std::string outFile = dir.file("out.txt"), exe = programCopyExe(), seq = dir.file("seq.txt");
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
    // Waits until the run has put points on disk.
    void waitForPoints(pid_t pid) {
        for (int i = 0; i < 600; ++i) {
            std::error_code ec;
            const auto size = fs::file_size(csv, ec);
            if (!ec && size > 52 * 3) return;
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
    // The whole point lines of the file; its header count.
    std::vector<std::string> wholePoints(const std::string& bytes, long long& count) {
        std::vector<std::string> points;
        count = -1;
        if (bytes.size() < 52 || bytes.substr(50, 2) != "\r\n") return points;
        count = std::strtoll(bytes.c_str(), nullptr, 10);  // blanks: 0
        std::size_t at = 52;
        for (std::size_t nl; (nl = bytes.find("\r\n", at)) != std::string::npos; at = nl + 2)
            points.push_back(bytes.substr(at, nl - at));
        return points;
    }

    TempDir dir{"signals"};
    std::string home = dir.file("main_vantrel"), cache = home + "/files", csv = cache + "/1_0_0_.csv";
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
        long long count = 0;
        const auto points = wholePoints(readFile(csv), count);
        const long long whole = static_cast<long long>(points.size());
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
        const pid_t pid = start(round == 0 ? longRun : "continue\n" + longRun);
        waitForPoints(pid);
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 400));
        const int sig = round == 5 ? SIGINT : SIGKILL;
        ::kill(pid, sig);
        EXPECT_EQ(finish(pid), sig == SIGINT ? 130 : 128 + SIGKILL);
        long long count = 0;
        const auto points = wholePoints(readFile(csv), count);
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
}  // namespace vantrel
