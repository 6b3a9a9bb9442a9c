// Test helpers that need no layer of the program: scratch directories,
// environment variables and reading and writing whole files.
#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

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

// Raw bytes, "" when missing.
inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
inline bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
inline bool startsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }
inline bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
// Every part is in the text; a failure names the parts missing and shows the text.
inline ::testing::AssertionResult containsAll(const std::string& text, std::initializer_list<std::string> parts) {
    std::string missing;
    for (const std::string& part : parts)
        if (!contains(text, part)) missing += " \"" + part + "\"";
    if (missing.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "missing" << missing << " in:\n" << text;
}
// Non-overlapping occurrences of part.
inline int occurrences(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto at = text.find(part); !part.empty() && at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}
// Lines at CR LF; no empty last line.
inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> v;
    std::size_t start = 0, at;
    while ((at = text.find("\r\n", start)) != std::string::npos) {
        v.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    if (start < text.size()) v.push_back(text.substr(start));
    return v;
}
// A point file's header count (-1: no header line of 50; blanks: 0) and
// its whole point lines: a cut-off last line is none of them.
struct PointLines {
    long long count = -1;
    std::vector<std::string> points;
    long long lines() const { return static_cast<long long>(points.size()); }
};
inline PointLines pointLines(const std::string& bytes) {
    PointLines p;
    if (bytes.size() < 52 || bytes.compare(50, 2, "\r\n") != 0) return p;
    p.count = std::strtoll(bytes.c_str(), nullptr, 10);
    for (std::size_t at = 52, nl; (nl = bytes.find("\r\n", at)) != std::string::npos; at = nl + 2)
        p.points.push_back(bytes.substr(at, nl - at));
    return p;
}
// The first line of a point file: the fields padded to 50 characters, CR LF.
inline std::string csvHeader(const std::string& fields) { return fields + std::string(50 - fields.size(), ' ') + "\r\n"; }

}  // namespace vantrel::test
