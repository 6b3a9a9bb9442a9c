#include "output/replacingfile.h"

#include "output/fileutil.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {

constexpr std::size_t bufferSize = ioBlockSize;

std::string describe(int error) { return error == EINVAL ? "Not a regular file" : std::strerror(error); }

// Read buffers no larger than the file: most copies are a page or less.
std::size_t readChunk(int fd) {
    constexpr std::size_t most = 1 << 16;
    struct stat st {};
    return ::fstat(fd, &st) == 0 ? std::min(most, static_cast<std::size_t>(st.st_size) + 1) : most;
}

}  // namespace

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path)) {
    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error_ = S_ISDIR(st.st_mode) ? EISDIR : S_ISLNK(st.st_mode) ? ELOOP : EINVAL;
        problem_ = path_ + (S_ISLNK(st.st_mode) ? " is a symbolic link" : " is there but is not a regular file") +
                   ", so it was not replaced.";
        return;
    }
    // A name no other writer uses (O_EXCL: a taken one moves on to the
    // next number), never a link someone put there; 0666 less the umask,
    // as for any new file.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = path_ + ".part" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        temp_.clear();
        fail(errno, "writing");
        return;
    }
}

ReplacingFile::~ReplacingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void ReplacingFile::fail(int error, const char* doing) {
    if (!problem_.empty()) return;
    error_ = error;
    problem_ = std::string(std::strerror(error)) + " " + doing + " " + path_;
}

void ReplacingFile::write(std::string_view bytes) {
    if (!problem_.empty()) return;
    if (buffer_.size() + bytes.size() > bufferSize) flush();
    // The buffer grows to what is written: most files are one page.
    if (bytes.size() >= bufferSize) writeOut(bytes);
    else buffer_.append(bytes);
}

void ReplacingFile::overwriteStart(std::string_view bytes) {
    flush();
    std::size_t done = 0;
    while (problem_.empty() && done < bytes.size()) {
        const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail(n < 0 ? errno : EIO, "writing");
        else done += static_cast<std::size_t>(n);
    }
}

void ReplacingFile::flush() {
    writeOut(buffer_);
    buffer_.clear();
}

void ReplacingFile::writeOut(std::string_view bytes) {
    std::size_t done = 0;
    while (problem_.empty() && done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail(n < 0 ? errno : EIO, "writing");
        else done += static_cast<std::size_t>(n);
    }
}

void ReplacingFile::keepMode(unsigned mode) {
    if (problem_.empty() && ::fchmod(fd_, static_cast<mode_t>(mode)) != 0) fail(errno, "writing");
}

std::string ReplacingFile::commit() {
    if (problem_.empty()) flush();
    if (fd_ >= 0 && ::close(fd_) != 0) fail(errno, "writing");
    fd_ = -1;
    if (problem_.empty() && ::rename(temp_.c_str(), path_.c_str()) != 0) fail(errno, "replacing");
    committed_ = problem_.empty();
    return problem_;
}

std::string replaceFile(const std::string& path, std::string_view bytes) {
    ReplacingFile file(path);
    file.write(bytes);
    return file.commit();
}

bool sameBytes(const std::string& a, const std::string& b) {
    const int fa = openForReading(a);
    if (fa < 0) return false;
    const int fb = openForReading(b);
    struct stat sa {}, sb {};
    bool same = fb >= 0 && ::fstat(fa, &sa) == 0 && ::fstat(fb, &sb) == 0 && sa.st_size == sb.st_size;
    const std::size_t size = readChunk(fa);
    std::unique_ptr<char[]> ba(same ? new char[size] : nullptr), bb(same ? new char[size] : nullptr);
    while (same) {
        const ssize_t na = readFull(fa, ba.get(), size);
        const ssize_t nb = readFull(fb, bb.get(), size);
        same = na >= 0 && nb == na && std::memcmp(ba.get(), bb.get(), static_cast<std::size_t>(na)) == 0;
        if (na < static_cast<ssize_t>(size)) break;
    }
    ::close(fa);
    if (fb >= 0) ::close(fb);
    return same;
}

std::string copyReplacing(const std::string& source, const std::string& target) {
    if (sameBytes(source, target)) return "";
    const int in = openForReading(source);
    if (in < 0) return describe(errno) + " copying " + source;
    ReplacingFile out(target);
    const std::size_t size = readChunk(in);
    std::unique_ptr<char[]> buffer(new char[size]);
    std::string problem;
    for (;;) {
        const ssize_t n = readFull(in, buffer.get(), size);
        if (n < 0) problem = describe(errno) + " copying " + source;
        if (n <= 0) break;
        out.write(std::string_view(buffer.get(), static_cast<std::size_t>(n)));
    }
    ::close(in);
    if (!problem.empty()) return problem;
    problem = out.commit();
    return problem.empty() ? "" : problem + " (copying " + source + ")";
}

}  // namespace vantrel
