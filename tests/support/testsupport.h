// Shared fixtures for the tests: a fresh program state, scripted dialogs
// and a temporary main directory.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/platform.h"

namespace vantrel::test {

// Resets the window state and the globals, installs scripted dialogs and
// reseeds the random generator with a fixed seed.
class FreshState : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    ScriptedDialogs dialogs;
};

// A scratch directory removed at the end of the test.
class TempDir {
public:
    TempDir();
    // A name of one's own, for paths that must not hold "vantrel".
    explicit TempDir(const std::string& prefix);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string readfile(const std::string& path);  // raw bytes, "" when missing
bool contains(const std::string& text, const std::string& part);
int occurrences(const std::string& text, const std::string& part);  // non-overlapping
void writefile(const std::string& path, const std::string& bytes);

}  // namespace vantrel::test
