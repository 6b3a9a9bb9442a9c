// Small whole-file helpers.
#pragma once

#include <cstddef>
#include <string>
#include <vector>
#include <sys/types.h>

namespace vantrel {

// Bytes a file is read or written through at a time (and the longest line
// a point file may hold). Small in a fuzzing build, where every input
// opens several files.
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
inline constexpr std::size_t ioBlockSize = 1 << 13;
#else
inline constexpr std::size_t ioBlockSize = 1 << 20;
#endif

// A regular file (links followed) opened for reading without ever waiting
// on a FIFO or a device; -1 with errno set otherwise (EINVAL: not a
// regular file).
int openForReading(const std::string& path);
// A regular file opened in place for writing (O_RDWR plus `flags`, such as
// O_CREAT): never through a link, never waiting on a FIFO; -1 with errno
// set otherwise (ELOOP: a link, EINVAL: not a regular file).
int openForWriting(const std::string& path, int flags);
// As many bytes as asked, fewer only at the end of the file; -1 on an error.
ssize_t readFull(int fd, char* buffer, std::size_t size);
// Whole file as text ("" when missing or unreadable).
std::string readWholeFile(const std::string& path);
// Text plus CR LF, replacing the file whole or not at all. False (errno
// says why) when it could not be written.
bool writeWholeFile(const std::string& path, const std::string& text);
// The same, adding "description writing path" to problems on failure.
void writeWholeFile(const std::string& path, const std::string& text, std::vector<std::string>& problems);

bool fileExists(const std::string& path);
bool dirExists(const std::string& path);

}  // namespace vantrel
