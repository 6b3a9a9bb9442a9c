// Shared fixtures for the tests: a fresh program state, scripted dialogs,
// scratch directories and the small helpers most files need.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/maindir.h"
#include "app/platformhooks.h"
#include "app/session.h"
#include "support/scratch.h"

namespace vantrel::test {

// A session of the test's own with a fixed seed, scripted dialogs, and
// scratch folders for the user's data ($XDG_DATA_HOME) and settings.
class FreshState : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Types n, l, m (and the extent, unless null) into the window's boxes
    // and refreshes the orbital as the window does.
    void typeQuantum(const std::string& n, const std::string& l, const std::string& m, const char* extent = nullptr);

    Session s;
    MainWindowState& f = s.window;
    OrbitalState& o = s.orbital;
    ScriptedDialogs dialogs;
    TempDir dataHome{"xdgdata"};
    TempDir configHome{"xdgconfig"};  // the window's settings never touch the user's
};

// A fresh state whose main directory is a scratch directory with its cache.
class CacheState : public FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        s.mainDir = dir.path();
        fs::create_directory(cache);
    }
    // n, l, m, extent and quota typed into the window; the region by its
    // option's index.
    void choose(int n, int l, int m, int extent, int quota = 625, int region = 0);
    const std::string& csv() const { return o.csvFile; }

    TempDir dir;
    std::string cache = dir.file("files");
};

// A fresh state with the window's reactions, a main directory of its own
// in a scratch directory, and a sequence file to write there.
class SequenceState : public FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        installReactions(s);
        ASSERT_EQ(setMainDir(s, dir.file("seq_vantrel")), 0);
        cache = s.mainDir + "/files";
    }
    // Runs the named file, with only its own messages kept.
    void runFile(std::string name) {
        dialogs.shown.clear();
        runSequence(s, name);
    }
    void run(const std::string& text) { writeFile(seq, text), runFile(seq); }

    TempDir dir;
    std::string cache, seq = dir.file("seq.txt");
};

// A program folder of the tests' own holding a copy of the program and its
// data files, so that what the program writes beside itself (the index
// template) never lands in the build tree.
const std::string& programCopy();
std::string programCopyExe();

}  // namespace vantrel::test
