#include "output/fileutil.h"

#include <filesystem>
#include <fstream>

#include "engine/textutil.h"

namespace vantrel {

std::string readWholeFile(const std::string& path) {
    if (!fileExists(path)) return "";
    std::ifstream in(path, std::ios::binary);
    if (!in) return "";
    std::string text;
    char buf[65536];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) text.append(buf, (std::size_t)in.gcount());
    return text;
}

bool writeWholeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out << text << "\r\n";
    out.close();
    return !out.fail();
}

bool fileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

bool dirExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

}  // namespace vantrel
