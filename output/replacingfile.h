// A file written under a temporary name beside its target and renamed over
// it only once it is whole, so that a failed write never leaves half a
// file, or no file, where the old one was.
#pragma once

#include <string>
#include <string_view>

namespace vantrel {

class ReplacingFile {
public:
    // Refuses a target that is there but is not a regular file (a link, a
    // folder, a FIFO): commit() then says so.
    explicit ReplacingFile(std::string path);
    ~ReplacingFile();  // the temporary file goes unless committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Buffered; the first failure is kept for commit().
    void write(std::string_view bytes);
    // Writes the rest, closes and renames into place. "" or the problem, in
    // which case the target is as it was.
    std::string commit();

private:
    void flush();
    void fail(int error, const char* doing);

    std::string path_, temp_, buffer_, problem_;
    int fd_ = -1;
    bool committed_ = false;
};

// The whole file in one go.
std::string replaceFile(const std::string& path, std::string_view bytes);

}  // namespace vantrel
