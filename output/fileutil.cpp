#include "output/fileutil.h"

#include <cerrno>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/textutil.h"
#include "output/replacingfile.h"

namespace vantrel {

namespace {

// The descriptor when it is a regular file, else closed with EINVAL; it
// waits again in later reads and writes.
int regularOnly(int fd) {
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace

int openForReading(const std::string& path) {
    return regularOnly(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
}

int openForWriting(const std::string& path, int flags) {
    return regularOnly(::open(path.c_str(), O_RDWR | flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666));
}

ssize_t readFull(int fd, char* buffer, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(done);
}

std::string readWholeFile(const std::string& path) {
    const int fd = openForReading(path);
    if (fd < 0) return "";
    std::string text;
    char buf[65536];
    for (ssize_t n; (n = readFull(fd, buf, sizeof buf)) > 0;) text.append(buf, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
}

namespace {

// The text and a closing CR LF in place of the file; the problem, or "".
std::string replaceWith(const std::string& path, const std::string& text, int& error) {
    ReplacingFile file(path);
    file.write(text);
    file.write("\r\n");
    std::string problem = file.commit();
    error = file.errorNumber();
    return problem;
}

}  // namespace

bool writeWholeFile(const std::string& path, const std::string& text) {
    int error = 0;
    const bool whole = replaceWith(path, text, error).empty();
    errno = error;
    return whole;
}

void writeWholeFile(const std::string& path, const std::string& text, std::vector<std::string>& problems) {
    int error = 0;
    if (auto problem = replaceWith(path, text, error); !problem.empty()) problems.push_back(std::move(problem));
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
