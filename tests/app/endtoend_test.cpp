// The real program without a display: sequence files in, pages and
// messages out.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "support/testsupport.h"

extern char** environ;

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::contains;
using test::readfile;
using test::writefile;

struct Result {
    int status = -1;
    std::string out;
};

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.file("home"));
        fs::create_directories(dir.file("work"));
        // With a help page in the current directory the installer stays out.
        writefile(dir.file("work/index.htm"), "help");
        vantrelhome = dir.file("main_vantrel");
        cache = vantrelhome + "/files";
    }

    // Runs the program in dir/work with no display, a fixed seed and its
    // own home; stdout is returned, a hung program is killed after a minute.
    Result vantrel(const std::string& commandline) {
        std::vector<std::string> env;
        for (char** e = environ; *e; ++e) {
            std::string v = *e;
            for (const char* drop : {"DISPLAY=", "WAYLAND_DISPLAY=", "VANTREL_HOME=", "VANTREL_SEED=", "HOME="})
                if (v.rfind(drop, 0) == 0) v.clear();
            if (!v.empty()) env.push_back(v);
        }
        env.push_back("VANTREL_HOME=" + vantrelhome);
        env.push_back("VANTREL_SEED=7");
        env.push_back("HOME=" + dir.file("home"));
        env.push_back("QT_QPA_PLATFORM=offscreen");
        std::vector<char*> envp;
        for (auto& v : env) envp.push_back(v.data());
        envp.push_back(nullptr);
        std::string exe = VANTREL_EXE;
        std::string args = commandline;
        std::vector<char*> argv = {exe.data()};
        if (!args.empty()) argv.push_back(args.data());
        argv.push_back(nullptr);
        const std::string outfile = dir.file("stdout.txt");
        const std::string workdir = dir.file("work");

        Result r;
        pid_t pid = fork();
        if (pid == 0) {
            int fd = ::open(outfile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int null = ::open("/dev/null", O_WRONLY);
            if (fd < 0 || null < 0 || ::chdir(workdir.c_str()) != 0) _exit(127);
            ::dup2(fd, 1);
            ::dup2(null, 2);
            ::alarm(60);
            ::execve(exe.c_str(), argv.data(), envp.data());
            _exit(127);
        }
        int status = 0;
        if (pid > 0 && ::waitpid(pid, &status, 0) == pid)
            r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        r.out = readfile(outfile);
        return r;
    }

    std::string sequence(const std::string& text, const std::string& name = "seq.txt") {
        writefile(dir.file(name), text);
        return dir.file(name);
    }

    test::TempDir dir{"endtoend"};
    std::string vantrelhome, cache;
};

TEST_F(EndToEnd, UsageWithoutArgumentsTouchesNothing) {
    Result r = vantrel("");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.out, "vantrel [CLEAR] SEQUENCE-FILE")) << r.out;
    EXPECT_FALSE(fs::exists(vantrelhome));
}

TEST_F(EndToEnd, SequenceWritesPagesAndIndexes) {
    const std::string seq = sequence(
        "# A small tour, with commas in the comment\r\n"
        "maxpoints=625 extent=0 energy\r\n"
        "1 0 0\r\n"
        "2 1 0\r\n"
        "2 1 1\r\n"
        "Z=2\r\n"
        "2 1 0\r\n"
        "jmolaxes\r\n"
        "four full\r\n"
        "3 2 0 xy\r\n");
    Result r = vantrel(seq);
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(contains(r.out, "Reading input data from  " + seq)) << r.out;
    EXPECT_TRUE(contains(r.out, "5 orbitals were processed.")) << r.out;

    const std::string page = readfile(cache + "/1_0_0_.htm");
    EXPECT_TRUE(contains(page, "TOTAL ENERGY"));
    EXPECT_TRUE(contains(page, "attoJoule"));
    EXPECT_TRUE(contains(page, "<i>Z</i> = 1)"));
    EXPECT_EQ(readfile(cache + "/1_0_0_.csv").rfind("625,2,", 0), 0u);
    EXPECT_TRUE(fs::exists(cache + "/1_0_0_.xyz"));

    // The four-panel set of the last state.
    const std::string root = cache + "/3_2_0_xy_(z_2)_";
    for (int k = 0; k <= 4; ++k) EXPECT_TRUE(fs::exists(root + std::to_string(k) + ".htm")) << k;
    EXPECT_TRUE(contains(readfile(root + "1.htm"), "width=156 height=156"));
    EXPECT_TRUE(contains(readfile(cache + "/3_2_0_xy_(z_2).htm"), "3_2_0_xy_(z_2)_0.htm"));

    // By energy: H 1s and He+ 2p share -2.18 aJ, H 2p0 and 2p1 share
    // -0.545 aJ; He+ 3d stands alone.
    const std::string f1 = readfile(cache + "/frame1.htm");
    EXPECT_EQ(test::occurrences(f1, "<hr>"), 3) << f1;
    EXPECT_EQ(test::occurrences(f1, "<td></td>"), 2);
    EXPECT_TRUE(contains(f1, "<b>E = -2.18 aJ</b>"));
    EXPECT_LT(f1.find("2_1_0_.xyz"), f1.find("2_1_1_.xyz"));
    EXPECT_TRUE(contains(f1, "</td></tr>\r\n<tr>\r\n<td></td>\r\n<td nowrap valign=top><a "
                             "href=\"javascript:showxyz('2_1_1_.xyz'"));

    const std::string names = readfile(cache + "/names.htm");
    EXPECT_TRUE(contains(names, "href=3_2_0_xy_(z_2)_1.htm>"));
    EXPECT_FALSE(contains(names, "href=frame1.htm"));
    EXPECT_TRUE(contains(readfile(cache + "/index.htm"), "SRC='frame1.htm'"));
}

TEST_F(EndToEnd, ClearAndContinue) {
    fs::create_directories(cache);
    writefile(cache + "/old.htm", "old");
    Result r = vantrel("CLEAR");
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(fs::exists(cache + "/old.htm"));
    EXPECT_FALSE(contains(r.out, "Reading input data"));

    writefile(cache + "/old.htm", "old");
    r = vantrel("CLEAR " + sequence("maxpoints=625\n1 0 0\ncontinue\n1 0 0\nnocontinue\n"));
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(fs::exists(cache + "/old.htm"));
    EXPECT_TRUE(contains(r.out, "2 orbitals were processed."));
    EXPECT_EQ(readfile(cache + "/1_0_0_.csv").rfind("1250,", 0), 0u);
}

TEST_F(EndToEnd, BadInputGetsAClearMessage) {
    Result r = vantrel(dir.file("missing.txt"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.out, std::string(std::strerror(ENOENT)) + " opening " + dir.file("missing.txt")));
    EXPECT_FALSE(contains(r.out, "processed."));

    const std::string wrong = " is not of the correct file type. See " + vantrelhome + "/input.txt";
    r = vantrel(sequence("maxpoints=625\n1,0,0\n1 0 0\n"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.out, "The sequence file " + dir.file("seq.txt") + wrong)) << r.out;
    EXPECT_TRUE(contains(r.out, "0 orbitals were processed."));
    EXPECT_FALSE(fs::exists(cache + "/1_0_0_.csv"));

    std::string binary;
    for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 7919) & 0xff));
    r = vantrel(sequence(binary, "binary.dat"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.out, wrong));

    r = vantrel(dir.file("work"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(contains(r.out, std::string(std::strerror(EISDIR)) + " opening " + dir.file("work")));

    r = vantrel(sequence("", "empty.txt"));
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.out, "0 orbitals were processed."));

    r = vantrel(sequence(std::string(100000, 'q') + "\n", "long.txt"));
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.out, "0 orbitals were processed."));

    // Root reads whatever the permissions say; only others can test this.
    if (::geteuid() != 0) {
        const std::string locked = sequence("black\n", "locked.txt");
        ::chmod(locked.c_str(), 0);
        r = vantrel(locked);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(contains(r.out, std::string(std::strerror(EACCES)) + " opening " + locked));
    }
}

TEST_F(EndToEnd, UnwritableCacheAsksForAnotherDirectory) {
    // A file where the cache directory should be: not even root writes there.
    fs::create_directories(vantrelhome);
    writefile(cache, "in the way");
    Result r = vantrel(sequence("maxpoints=625\n1 0 0\n"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(contains(r.out, "Enter a directory name containing the characters \"vantrel\" for saving files"));
    // The console takes the offered default, the first candidate that works.
    EXPECT_TRUE(fs::exists(dir.file("home/vantrel/files/1_0_0_.htm"))) << r.out;
    EXPECT_EQ(readfile(cache), "in the way");
}

}  // namespace
}  // namespace vantrel
