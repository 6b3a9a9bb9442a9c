#include "support/testsupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/formstate.h"
#include "engine/globals.h"

namespace vantrel::test {

void FreshState::SetUp() {
    resetform();
    resetglobals();
    hooks() = Hooks{};
    setdialogs(&dialogs);
    rng().seed(12345);
}

void FreshState::TearDown() {
    setdialogs(nullptr);
    hooks() = Hooks{};
}

TempDir::TempDir() : TempDir("vantrel-test") {}

TempDir::TempDir(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    char* made = mkdtemp(pattern.data());
    path_ = made ? made : pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::string readfile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

int occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); !part.empty() && at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

void writefile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace vantrel::test
