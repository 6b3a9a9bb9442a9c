// Help archives at the end of a program file: the reader that checks every
// record, and writing out what it accepts. Whatever the bytes, nothing is
// written outside the destination and every entry lies inside the file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz/fuzzstate.h"
#include "install/helparchive.h"
#include "output/replacingfile.h"

using namespace vantrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 16) return 0;
    const std::string& dir = fuzz::scratchDir();
    const std::string program = dir + "/program";
    replaceFile(program, std::string_view(reinterpret_cast<const char*>(data), size));
    const ArchiveContents contents = readArchive(program);
    if (contents.status != ArchiveContents::Status::Ok) return 0;
    for (const ArchiveEntry& e : contents.entries) {
        if (e.start < 1 || e.length < 1 || e.start + e.length - 1 > static_cast<std::int64_t>(size) ||
            !unsafeNameReason(e.name).empty()) {
            std::fprintf(stderr, "broken promise: an accepted entry %s outside the file or its folder\n", e.name.c_str());
            std::abort();
        }
    }
    const std::string destination = dir + "/installed";
    extractArchive(program, contents.entries, destination);
    std::error_code ec;
    std::filesystem::remove_all(destination, ec);
    return 0;
}
