#include "output/replacingfile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantrel {

namespace {

constexpr std::size_t bufferSize = 1 << 20;

std::atomic<unsigned> tempCounter{0};

}  // namespace

ReplacingFile::ReplacingFile(std::string path) : path_(std::move(path)) {
    struct stat st {};
    if (::lstat(path_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        problem_ = path_ + " is there but is not a regular file, so it was not replaced.";
        return;
    }
    // A name no other writer uses; 0666 less the umask, as for any new file.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = path_ + ".part" + std::to_string(::getpid()) + "-" + std::to_string(tempCounter++);
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
        temp_.clear();
        fail(errno, "writing");
        return;
    }
    buffer_.reserve(bufferSize);
}

ReplacingFile::~ReplacingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_ && !temp_.empty()) ::unlink(temp_.c_str());
}

void ReplacingFile::fail(int error, const char* doing) {
    if (problem_.empty()) problem_ = std::string(std::strerror(error)) + " " + doing + " " + path_;
}

void ReplacingFile::write(std::string_view bytes) {
    if (!problem_.empty()) return;
    if (buffer_.size() + bytes.size() > bufferSize) flush();
    if (bytes.size() >= bufferSize) {
        buffer_.assign(bytes);
        flush();
    } else {
        buffer_.append(bytes);
    }
}

void ReplacingFile::flush() {
    std::size_t done = 0;
    while (problem_.empty() && done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail(n < 0 ? errno : EIO, "writing");
        else done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
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

}  // namespace vantrel
