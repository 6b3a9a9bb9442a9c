// Shared fixtures for the tests: a fresh program state, scripted dialogs,
// scratch directories and the small helpers most files need.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "app/windowstate.h"
#include "engine/globals.h"
#include "output/platform.h"

namespace vantrel::test {

namespace fs = std::filesystem;

// A scratch directory removed at the end of the test; the prefix keeps
// "vantrel" out of paths that must not hold it.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "vantrel-test") {
        std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
        // Fills in the Xs; without the directory every test in it would go astray.
        if (!mkdtemp(pattern.data())) throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ec;  // a test may have locked it
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Resets the window state and the globals, installs scripted dialogs,
// reseeds the random generator with a fixed seed, and gives the user's data
// folder ($XDG_DATA_HOME) a scratch directory of its own.
class FreshState : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    ScriptedDialogs dialogs;
    MainWindowState& f = mainWindow();  // the same objects after every reset
    OrbitalState& o = globals().orbital;
    TempDir dataHome{"xdgdata"};
    TempDir configHome{"xdgconfig"};  // the window's settings never touch the user's
};

// A fresh state whose main directory is a scratch directory with its cache.
class CacheState : public FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        globals().mainDir = dir.path();
        fs::create_directory(cache);
    }
    TempDir dir;
    std::string cache = dir.file("files");
};

// Sets an environment variable (nullopt: unsets it) until the end of the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) saved_ = old;
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    ~ScopedEnv() { saved_ ? setenv(name_.c_str(), saved_->c_str(), 1) : unsetenv(name_.c_str()); }
    ScopedEnv(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

// A program folder of the tests' own holding a copy of the program and its
// data files, so that what the program writes beside itself (the index
// template) never lands in the build tree.
const std::string& programCopy();
std::string programCopyExe();

std::string readFile(const std::string& path);  // raw bytes, "" when missing
void writeFile(const std::string& path, const std::string& bytes);
inline bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
inline bool startsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }
inline bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
// Every part is in the text; a failure names the parts missing and shows the text.
::testing::AssertionResult containsAll(const std::string& text, std::initializer_list<std::string> parts);
int occurrences(const std::string& text, const std::string& part);  // non-overlapping
std::vector<std::string> splitLines(const std::string& text);     // at CR LF; no empty last line
// The first line of a point file: the fields padded to 50 characters, CR LF.
inline std::string csvHeader(const std::string& fields) { return fields + std::string(50 - fields.size(), ' ') + "\r\n"; }

// Types n, l, m (and the extent, unless null) into the window's boxes and
// refreshes the orbital as the window does.
void typeQuantum(const std::string& n, const std::string& l, const std::string& m, const char* extent = nullptr);

}  // namespace vantrel::test
