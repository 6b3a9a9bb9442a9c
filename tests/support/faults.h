// Faults a test can inject into the file system: a disk that fills up and
// a directory or file that cannot be written.
#pragma once

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <optional>
#include <string>

namespace vantrel::test {

// Every file this process writes stops at `bytes` (EFBIG, no SIGXFSZ).
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::size_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit small = saved_;
        small.rlim_cur = bytes;
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*oldHandler_)(int) = SIG_DFL;
};

// The directory `dir` (existing, empty) gets room for about `bytes` more:
// a small tmpfs where the test may mount one; otherwise a FileSizeLimit
// caps every file this process writes (EFBIG instead of ENOSPC).
class SmallDisk {
public:
    SmallDisk(const std::string& dir, std::size_t bytes) : dir_(dir) {
        const std::string options = "size=" + std::to_string(bytes);
        mounted_ = ::mount("tmpfs", dir.c_str(), "tmpfs", 0, options.c_str()) == 0;
        if (!mounted_) limit_.emplace(bytes);
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    bool mounted() const { return mounted_; }
    int error() const { return mounted_ ? ENOSPC : EFBIG; }  // what a write past the room fails with

private:
    std::string dir_;
    bool mounted_ = false;
    std::optional<FileSizeLimit> limit_;
};

// Makes a file or directory read-only even for root (a read-only bind
// mount over itself), or by its permissions where mounting is not allowed.
class ReadOnly {
public:
    explicit ReadOnly(const std::string& path) : path_(path) {
        if (::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) == 0) {
            mounted_ = true;
            ::mount(nullptr, path.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr);
            return;
        }
        struct stat st {};
        ::stat(path.c_str(), &st);
        mode_ = st.st_mode & 07777;
        ::chmod(path.c_str(), S_ISDIR(st.st_mode) ? 0555 : 0444);
    }
    ~ReadOnly() {
        if (mounted_)
            ::umount2(path_.c_str(), MNT_DETACH);
        else
            ::chmod(path_.c_str(), mode_);
    }
    ReadOnly(const ReadOnly&) = delete;
    // False for root without the right to mount: nothing stops root then.
    bool effective() const { return mounted_ || ::geteuid() != 0; }
    int error() const { return mounted_ ? EROFS : EACCES; }

private:
    std::string path_;
    bool mounted_ = false;
    mode_t mode_ = 0;
};

}  // namespace vantrel::test
