#include "support/testsupport.h"

#include <fstream>
#include <iterator>

#include "app/windowstate.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "engine/random.h"
#include "app/orbitalcontrols.h"

namespace vantrel::test {

void FreshState::SetUp() {
    resetWindowState();
    resetGlobals();
    hooks() = Hooks{};
    setDialogs(&dialogs);
    rng().seed(12345);
    setProgramDir(programCopy());
    setenv("XDG_DATA_HOME", dataHome.path().c_str(), 1);
    setenv("XDG_CONFIG_HOME", configHome.path().c_str(), 1);
}

void FreshState::TearDown() {
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CONFIG_HOME");
    setDialogs(nullptr);
    hooks() = Hooks{};
}

const std::string& programCopy() {
    static TempDir dir("program");
    static const bool copied = [] {
        const fs::path built = fs::path(VANTREL_EXE).parent_path();
        for (const char* name : {"vantrel", "frames.ht", "index.htm", "schroed.pdf"}) {
            std::error_code ec;
            fs::copy_file(built / name, fs::path(dir.path()) / name, fs::copy_options::overwrite_existing, ec);
        }
        return true;
    }();
    (void)copied;
    return dir.path();
}

std::string programCopyExe() { return programCopy() + "/vantrel"; }

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

::testing::AssertionResult containsAll(const std::string& text, std::initializer_list<std::string> parts) {
    std::string missing;
    for (const std::string& part : parts)
        if (!contains(text, part)) missing += " \"" + part + "\"";
    if (missing.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "missing" << missing << " in:\n" << text;
}

int occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); !part.empty() && at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> v;
    std::size_t start = 0, at;
    while ((at = text.find("\r\n", start)) != std::string::npos) {
        v.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    if (start < text.size()) v.push_back(text.substr(start));
    return v;
}

void typeQuantum(const std::string& n, const std::string& l, const std::string& m, const char* extent) {
    auto& f = mainWindow();
    f.quantumText[0].text = n, f.quantumText[1].text = l, f.quantumText[2].text = m;
    if (extent) f.extentText.text = extent;
    updateOrbital(true);
}

}  // namespace vantrel::test
