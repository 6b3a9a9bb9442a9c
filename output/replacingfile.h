// A file written under a temporary name beside its target and renamed over
// it only once it is whole, so that a failed write never leaves half a
// file, or no file, where the old one was. Every file the program writes
// goes through here.
#pragma once

#include <string>
#include <string_view>

namespace vantrel {

class ReplacingFile {
public:
    // Refuses a target that is there but is not a regular file (a link, a
    // folder, a FIFO): commit() then says so. The temporary file is made
    // new (never an existing name, never through a link).
    explicit ReplacingFile(std::string path);
    ~ReplacingFile();  // the temporary file goes unless committed
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Buffered; the first failure is kept for commit().
    void write(std::string_view bytes);
    // Overwrites the first bytes written so far (a header patched at the end).
    void overwriteStart(std::string_view bytes);
    // The new file's permissions (else 0666 less the umask).
    void keepMode(unsigned mode);
    // Writes the rest, closes and renames into place. "" or the problem, in
    // which case the target is as it was.
    std::string commit();
    // errno of the first failure, 0 while there is none (EISDIR, ELOOP
    // for a link, EINVAL for anything else that is not a regular file).
    int errorNumber() const { return error_; }

private:
    void flush();
    void writeOut(std::string_view bytes);
    void fail(int error, const char* doing);

    std::string path_, temp_, buffer_, problem_;
    int fd_ = -1;
    int error_ = 0;
    bool committed_ = false;
};

// The whole file in one go.
std::string replaceFile(const std::string& path, std::string_view bytes);

// Makes target a whole copy of source unless it already holds the same
// bytes (a copy cut short earlier is mended). "" or the problem.
std::string copyReplacing(const std::string& source, const std::string& target);
// Both regular files with the same bytes.
bool sameBytes(const std::string& a, const std::string& b);

}  // namespace vantrel
