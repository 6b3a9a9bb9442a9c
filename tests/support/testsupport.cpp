#include "support/testsupport.h"

#include <fstream>
#include <iterator>

#include "engine/formstate.h"
#include "engine/globals.h"
#include "engine/orbital.h"

namespace vantrel::test {

void FreshState::SetUp() {
    resetform();
    resetglobals();
    hooks() = Hooks{};
    setdialogs(&dialogs);
    rng().seed(12345);
    setprogramdir(programcopy());
}

void FreshState::TearDown() {
    setdialogs(nullptr);
    hooks() = Hooks{};
}

const std::string& programcopy() {
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

std::string programcopyexe() { return programcopy() + "/vantrel"; }

std::string readfile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writefile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

int occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); !part.empty() && at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

std::vector<std::string> splitlines(const std::string& text) {
    std::vector<std::string> v;
    std::size_t start = 0, at;
    while ((at = text.find("\r\n", start)) != std::string::npos) {
        v.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    if (start < text.size()) v.push_back(text.substr(start));
    return v;
}

void typenlm(const std::string& n, const std::string& l, const std::string& m, const char* extent) {
    auto& f = form();
    f.txtNLM[0].text = n, f.txtNLM[1].text = l, f.txtNLM[2].text = m;
    if (extent) f.txtscal.text = extent;
    updateorbital(true);
}

}  // namespace vantrel::test
