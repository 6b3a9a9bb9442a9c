// The real program without a display: sequence files in, pages and
// messages out.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/testsupport.h"

extern char** environ;

namespace vantrel {
namespace {

namespace fs = std::filesystem;
using test::contains;
using test::readfile;
using test::writefile;

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.file("home"));
        fs::create_directories(dir.file("work"));
        writefile(dir.file("work/index.htm"), "help");  // keeps the help installer out
    }

    // Runs the program in dir/work with no display, a fixed seed and a
    // home of its own; returns the exit status, stdout goes to `out`. A hung
    // program is killed after a minute.
    int vantrel(std::string commandline) {
        std::vector<std::string> env = {"VANTREL_HOME=" + home, "VANTREL_SEED=7", "HOME=" + dir.file("home"),
                                        "QT_QPA_PLATFORM=offscreen"};
        for (char** e = environ; *e; ++e) {
            std::string v = *e;
            if (v.rfind("PATH=", 0) == 0 || v.rfind("LD_LIBRARY_PATH=", 0) == 0) env.push_back(v);
        }
        std::vector<char*> envp, argv = {const_cast<char*>(VANTREL_EXE)};
        for (auto& v : env) envp.push_back(v.data());
        envp.push_back(nullptr);
        if (!commandline.empty()) argv.push_back(commandline.data());
        argv.push_back(nullptr);
        const std::string outfile = dir.file("stdout.txt"), workdir = dir.file("work");
        pid_t pid = fork();
        if (pid == 0) {
            int fd = ::open(outfile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            int null = ::open("/dev/null", O_WRONLY);
            if (fd < 0 || null < 0 || ::chdir(workdir.c_str()) != 0) _exit(127);
            ::dup2(fd, 1);
            ::dup2(null, 2);
            ::alarm(60);
            ::execve(argv[0], argv.data(), envp.data());
            _exit(127);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        out = readfile(outfile);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::string sequence(const std::string& text, const std::string& name = "seq.txt") {
        writefile(dir.file(name), text);
        return dir.file(name);
    }

    test::TempDir dir{"endtoend"};
    std::string home = dir.file("main_vantrel"), cache = home + "/files", out;
};

TEST_F(EndToEnd, UsageWithoutArgumentsTouchesNothing) {
    EXPECT_EQ(vantrel(""), 0);
    EXPECT_TRUE(contains(out, "vantrel [CLEAR] SEQUENCE-FILE")) << out;
    EXPECT_FALSE(fs::exists(home));
}

TEST_F(EndToEnd, SequenceWritesPagesAndIndexes) {
    const std::string seq = sequence(
        "# A small tour, with commas in the comment\r\nmaxpoints=625 extent=0 energy\r\n1 0 0\r\n2 1 0\r\n"
        "2 1 1\r\nZ=2\r\n2 1 0\r\njmolaxes\r\nfour full\r\n3 2 0 xy\r\n");
    EXPECT_EQ(vantrel(seq), 0) << out;
    EXPECT_TRUE(contains(out, "Reading input data from  " + seq + "\n")) << out;
    EXPECT_TRUE(contains(out, "5 orbitals were processed.")) << out;

    EXPECT_TRUE(contains(readfile(cache + "/1_0_0_.htm"), "<font color=red>-2.18 attoJoule</font>"));
    EXPECT_EQ(readfile(cache + "/1_0_0_.csv").rfind("625,2,", 0), 0u);
    const std::string root = cache + "/3_2_0_xy_(z_2)_";
    for (int k = 0; k <= 4; ++k) EXPECT_TRUE(fs::exists(root + std::to_string(k) + ".htm")) << k;
    EXPECT_TRUE(contains(readfile(root + "1.htm"), "width=156 height=156"));
    EXPECT_TRUE(contains(readfile(cache + "/3_2_0_xy_(z_2).htm"), "'3_2_0_xy_(z_2)_0.htm'"));

    // H 1s and He+ 2p share -2.18 aJ, H 2p0 and 2p1 share -0.545 aJ.
    const std::string f1 = readfile(cache + "/frame1.htm");
    EXPECT_EQ(test::occurrences(f1, "<hr>"), 3) << f1;
    EXPECT_EQ(test::occurrences(f1, "<td></td>"), 2);
    EXPECT_TRUE(contains(f1, "<tr>\r\n<td></td>\r\n<td nowrap valign=top><a href=\"javascript:showxyz('2_1_1_.xyz'"));
    EXPECT_TRUE(contains(readfile(cache + "/names.htm"), "href=3_2_0_xy_(z_2)_1.htm>"));
    EXPECT_TRUE(contains(readfile(cache + "/index.htm"), "SRC='frame1.htm'"));
}

TEST_F(EndToEnd, ClearAndContinue) {
    fs::create_directories(cache);
    writefile(cache + "/old.htm", "old");
    EXPECT_EQ(vantrel("CLEAR"), 0);
    EXPECT_FALSE(fs::exists(cache + "/old.htm"));
    EXPECT_FALSE(contains(out, "Reading input data"));

    writefile(cache + "/old.htm", "old");
    EXPECT_EQ(vantrel("CLEAR " + sequence("maxpoints=625\n1 0 0\ncontinue\n1 0 0\n")), 0);
    EXPECT_FALSE(fs::exists(cache + "/old.htm"));
    EXPECT_TRUE(contains(out, "2 orbitals were processed."));
    EXPECT_EQ(readfile(cache + "/1_0_0_.csv").rfind("1250,", 0), 0u);
}

TEST_F(EndToEnd, BadInputGetsAClearMessage) {
    EXPECT_EQ(vantrel(dir.file("missing.txt")), 1);
    EXPECT_TRUE(contains(out, std::string(std::strerror(ENOENT)) + " opening " + dir.file("missing.txt")));
    EXPECT_FALSE(contains(out, "processed."));
    EXPECT_EQ(vantrel(dir.file("work")), 1);
    EXPECT_TRUE(contains(out, std::string(std::strerror(EISDIR)) + " opening " + dir.file("work")));

    const std::string wrong = " is not of the correct file type. See " + home + "/input.txt\n0 orbitals were processed.";
    EXPECT_EQ(vantrel(sequence("maxpoints=625\n1,0,0\n1 0 0\n")), 1);
    EXPECT_TRUE(contains(out, "The sequence file " + dir.file("seq.txt") + wrong)) << out;
    EXPECT_FALSE(fs::exists(cache + "/1_0_0_.csv"));
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary.push_back(static_cast<char>((i * 7919) & 0xff));
    EXPECT_EQ(vantrel(sequence(binary, "binary.dat")), 1);
    EXPECT_TRUE(contains(out, wrong));

    EXPECT_EQ(vantrel(sequence("", "empty.txt")), 0);
    EXPECT_TRUE(contains(out, "0 orbitals were processed."));
    EXPECT_EQ(vantrel(sequence(std::string(100000, 'q') + "\n", "long.txt")), 0);
    EXPECT_TRUE(contains(out, "0 orbitals were processed."));
    if (::geteuid() != 0) {  // root reads whatever the permissions say
        const std::string locked = sequence("black\n", "locked.txt");
        ::chmod(locked.c_str(), 0);
        EXPECT_EQ(vantrel(locked), 1);
        EXPECT_TRUE(contains(out, std::string(std::strerror(EACCES)) + " opening " + locked));
    }
}

TEST_F(EndToEnd, UnwritableCacheAsksForAnotherDirectory) {
    fs::create_directories(home);
    writefile(cache, "in the way");  // a file where the cache should be: not even root writes there
    EXPECT_EQ(vantrel(sequence("maxpoints=625\n1 0 0\n")), 0) << out;
    EXPECT_TRUE(contains(out, "Enter a directory name containing the characters \"vantrel\" for saving files"));
    // The console takes the default: the first candidate that works.
    EXPECT_TRUE(fs::exists(dir.file("home/vantrel/files/1_0_0_.htm"))) << out;
}

}  // namespace
}  // namespace vantrel
