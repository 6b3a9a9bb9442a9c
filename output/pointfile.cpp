#include "output/pointfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

#include "engine/colorclasses.h"
#include "engine/energy.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "output/platform.h"
#include "engine/textutil.h"
#include "engine/radialhistogram.h"
#include "output/cloudscript.h"

namespace vantrel {

namespace {

constexpr std::size_t blockSize = 1 << 20;

// A block left uninitialised: zeroing a megabyte for every file opened
// would cost more than reading most point files.
class Block {
public:
    Block() : p_(new char[blockSize]) {}
    char* data() { return p_.get(); }
    std::size_t size() const { return blockSize; }

private:
    std::unique_ptr<char[]> p_;
};

// Reads a text file line by line through one fixed block, so that a file
// of any size (or one enormous line) costs the same memory. Accepts CR LF
// and LF line ends.
class LineReader {
public:
    enum Status { Line, End, Failed };

    explicit LineReader(const std::string& path) {
        file_ = std::fopen(path.c_str(), "rb");
        if (!file_) error_ = errno;
    }
    ~LineReader() {
        if (file_) std::fclose(file_);
    }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    int error() const { return error_; }       // errno of a failed open or read
    bool tooLong() const { return tooLong_; }  // a line did not fit the block

    Status next(std::string_view& line) {
        for (;;) {
            const char* begin = buf_.data() + pos_;
            const char* nl = static_cast<const char*>(std::memchr(begin, '\n', end_ - pos_));
            if (nl) {
                line = trimCr(std::string_view(begin, nl - begin));
                pos_ = nl - buf_.data() + 1;
                return Line;
            }
            if (eof_) {
                if (pos_ == end_) return End;
                line = trimCr(std::string_view(begin, end_ - pos_));
                pos_ = end_;
                return Line;
            }
            if (pos_ == 0 && end_ == buf_.size()) {
                tooLong_ = true;
                return Failed;
            }
            if (!fill()) return Failed;
        }
    }

private:
    static std::string_view trimCr(std::string_view s) {
        if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
        return s;
    }

    bool fill() {
        if (pos_ > 0) {
            std::memmove(buf_.data(), buf_.data() + pos_, end_ - pos_);
            end_ -= pos_;
            pos_ = 0;
        }
        const std::size_t got = std::fread(buf_.data() + end_, 1, buf_.size() - end_, file_);
        end_ += got;
        if (got == 0) {
            if (std::ferror(file_)) {
                error_ = errno ? errno : EIO;
                return false;
            }
            eof_ = true;
        }
        return true;
    }

    std::FILE* file_ = nullptr;
    Block buf_;
    std::size_t pos_ = 0, end_ = 0;
    bool eof_ = false;
    bool tooLong_ = false;
    int error_ = 0;
};

// Writes through one large block; remembers the first failure.
class BlockWriter {
public:
    explicit BlockWriter(const std::string& path) {
        file_ = std::fopen(path.c_str(), "wb");
        if (!file_) error_ = errno;
    }
    ~BlockWriter() { close(); }
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    int error() const { return error_; }

    // Room for at least n more bytes at the returned position.
    char* reserve(std::size_t n) {
        if (buf_.size() - used_ < n) flush();
        return buf_.data() + used_;
    }
    void advance(std::size_t n) { used_ += n; }
    void put(std::string_view s) {
        if (s.size() > buf_.size()) {
            flush();
            write(s.data(), s.size());
            return;
        }
        std::memcpy(reserve(s.size()), s.data(), s.size());
        used_ += s.size();
    }

    void flush() {
        if (used_ > 0) write(buf_.data(), used_);
        used_ = 0;
    }

    // Overwrites the start of the file in place (the rest stays).
    void patchStart(std::string_view s) {
        flush();
        if (!file_ || error_) return;
        if (std::fflush(file_) != 0 || std::fseek(file_, 0, SEEK_SET) != 0) {
            error_ = errno ? errno : EIO;
            return;
        }
        write(s.data(), s.size());
    }

    void close() {
        if (!file_) return;
        flush();
        if (std::fclose(file_) != 0 && !error_) error_ = errno ? errno : EIO;
        file_ = nullptr;
    }

private:
    void write(const char* p, std::size_t n) {
        if (!file_ || error_) return;
        if (std::fwrite(p, 1, n, file_) != n) error_ = errno ? errno : EIO;
    }

    std::FILE* file_ = nullptr;
    Block buf_;
    std::size_t used_ = 0;
    int error_ = 0;
};

bool isblank(char c) { return c == ' ' || c == '\t'; }

void skipBlanks(const char*& p, const char* end) {
    while (p < end && isblank(*p)) ++p;
}

// One number filling the text from p up to the first separator; false for
// anything that is not a finite number (NaN, 1E+400, garbage).
bool parseNumber(const char*& p, const char* end, double& out) {
    const char* start = p;
    if (p < end && *p == '+') ++p;
    if (p < end && *p == '+') return false;
    double v = 0;
    auto [next, ec] = std::from_chars(p, end, v, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // from_chars refuses values that underflow; strtod gives them as
        // tiny or zero, and infinity for the ones that overflow.
        // The whole field: a long one cut short would read as another number.
        const std::string tmp(start, next);
        v = std::strtod(tmp.c_str(), nullptr);
    } else if (ec != std::errc{}) {
        p = start;
        return false;
    }
    if (!std::isfinite(v)) {
        p = start;
        return false;
    }
    p = next;
    out = v;
    return true;
}

bool blankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), isblank);
}

// The next non-blank line.
LineReader::Status nextRecord(LineReader& in, std::string_view& line) {
    for (;;) {
        LineReader::Status s = in.next(line);
        if (s != LineReader::Line || !blankLine(line)) return s;
    }
}

LineReader::Status readHeader(LineReader& in, std::optional<PointFileHeader>& h) {
    std::string_view line;
    LineReader::Status s = in.next(line);
    h = s == LineReader::Line ? parsePointHeader(line) : std::nullopt;
    return s;
}

std::string errorText(int err) { return std::strerror(err); }

}  // namespace

std::optional<PointFileHeader> parsePointHeader(std::string_view line) {
    const char* p = line.data();
    const char* end = p + line.size();
    double fields[3] = {0, 0, 0};
    for (double& field : fields) {
        skipBlanks(p, end);
        if (!parseNumber(p, end, field)) return std::nullopt;
        if (p < end && *p != ',' && !isblank(*p)) return std::nullopt;
        skipBlanks(p, end);
        if (p < end && *p == ',') ++p;
    }
    // The writer counts whole lines: a count like 40.5 is a damaged header.
    if (!(fields[0] >= 0 && fields[0] <= std::numeric_limits<int>::max() && fields[0] == std::floor(fields[0])))
        return std::nullopt;
    return PointFileHeader{static_cast<int>(fields[0]), fields[1], fields[2]};
}

std::string pointHeaderText(const PointFileHeader& h) {
    std::string header = intText(h.count) + "," + numText(h.extent) + "," + numText(h.maxPsi2) +
                         std::string(headerLength, ' ');
    header.resize(headerLength);
    return header;
}

bool parsePointLine(std::string_view line, CloudPoint& point) {
    const char* p = line.data();
    const char* end = p + line.size();
    double* fields[4] = {&point.x, &point.y, &point.z, &point.psi};
    for (int j = 0; j < 4; ++j) {
        skipBlanks(p, end);
        if (!parseNumber(p, end, *fields[j])) return false;
        skipBlanks(p, end);
        if (j < 3) {
            if (p == end || *p != ',') return false;
            ++p;
        }
    }
    return p == end;
}

std::size_t pointLineText(const CloudPoint& point, char* out) {
    std::size_t n = numTextFast(point.x, out);
    out[n++] = ',';
    n += numTextFast(point.y, out + n);
    out[n++] = ',';
    n += numTextFast(point.z, out + n);
    out[n++] = ',';
    n += numTextFast(point.psi, out + n);
    out[n++] = '\r';
    out[n++] = '\n';
    return n;
}

std::optional<PointFileStart> readPointFileStart(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    char buf[256];
    ssize_t got = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buf + got, sizeof buf - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += n;
        if (got == static_cast<ssize_t>(sizeof buf)) break;
    }
    ::close(fd);
    const char* nl = static_cast<const char*>(std::memchr(buf, '\n', got));
    if (!nl && got == static_cast<ssize_t>(sizeof buf)) return std::nullopt;
    std::string_view line(buf, nl ? nl - buf : got);
    const bool more = nl && nl + 1 < buf + got;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return PointFileStart{parsePointHeader(line), line.size() == static_cast<std::size_t>(headerLength), more};
}

PointFileRead forEachPoint(const std::string& path, const PointCallback& onPoint,
                           const std::function<void(const std::optional<PointFileHeader>&)>& onHeader) {
    PointFileRead result;
    LineReader in(path);
    if (!in.isOpen()) return result;
    bool failed = readHeader(in, result.header) != LineReader::Line || !result.header;
    if (onHeader) onHeader(result.header);
    std::string_view line;
    CloudPoint point;
    LineReader::Status s;
    while ((s = nextRecord(in, line)) == LineReader::Line) {
        if (!parsePointLine(line, point) || !onPoint(point)) {
            failed = true;
            break;
        }
        ++result.points;
    }
    if (s == LineReader::Failed) failed = true;
    result.status = failed ? PointFileStatus::Broken : PointFileStatus::Complete;
    return result;
}

PointFileCount countPointFile(const std::string& path,
                              const std::function<RadialHistogram(const std::optional<PointFileHeader>&)>& start) {
    PointFileCount count;
    int points = 0;
    auto onHeader = [&](const std::optional<PointFileHeader>& h) { count.histogram = start(h); };
    count.read = forEachPoint(
        path,
        [&](const CloudPoint& p) {
            if (!count.histogram.addRadius(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z))) return false;
            if ((++points & 1023) == 0) pumpEvents();
            return true;
        },
        onHeader);
    return count;
}

constexpr std::size_t flushSize = 1 << 18;

bool PointFileWriter::create() {
    fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    committed_ = 0;
    if (fd_ < 0) return failWith(errno);
    return true;
}

bool PointFileWriter::openAppend(int points) {
    fd_ = ::open(path_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) return failWith(errno);
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return failWith(errno);
    committed_ = st.st_size;
    points_ = points;
    return true;
}

void PointFileWriter::addPlaceholder() {
    buf_ += std::string(headerLength, ' ') + crlf;
    placeholderPending_ = true;
}

void PointFileWriter::addPoint(const CloudPoint& point) {
    char line[pointLineRoom];
    buf_.append(line, pointLineText(point, line));
    ++pending_;
    if (buf_.size() >= flushSize) flush();
}

bool PointFileWriter::flush() {
    if (failed() || fd_ < 0) return false;
    if (buf_.empty()) return true;
    if (!stillOurs()) return false;
    std::size_t done = 0;
    int err = 0;
    while (done < buf_.size()) {
        const ssize_t n = ::pwrite(fd_, buf_.data() + done, buf_.size() - done, committed_ + done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            err = n < 0 ? errno : ENOSPC;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    if (err == 0) {
        commit(buf_.size(), pending_);
        return true;
    }
    // Only whole lines stay: cut back to the last line end written.
    std::size_t keep = 0;
    int lines = 0;
    for (std::size_t i = 0; i < done; ++i)
        if (buf_[i] == '\n') keep = i + 1, ++lines;
    if (placeholderPending_ && lines > 0) --lines;
    if (::ftruncate(fd_, committed_ + static_cast<off_t>(keep)) == 0 || keep == done) commit(keep, lines);
    return failWith(err);
}

bool PointFileWriter::checkpoint(double extent, double maxPsi2) {
    const bool flushed = flush();
    if (fd_ < 0 || foreign_ || committed_ < headerLength) return false;
    const std::string header = pointHeaderText({points_, extent, maxPsi2});
    if (::pwrite(fd_, header.data(), header.size(), 0) != static_cast<ssize_t>(header.size())) {
        if (!failed()) failWith(errno ? errno : EIO);
        return false;
    }
    return flushed;
}

bool PointFileWriter::close() {
    bool ok = true;
    if (fd_ >= 0 && ::close(fd_) != 0 && !failed()) ok = failWith(errno);
    fd_ = -1;
    return ok && !failed();
}

void PointFileWriter::commit(std::size_t bytes, int points) {
    committed_ += static_cast<off_t>(bytes);
    points_ += std::max(0, std::min(points, pending_));
    pending_ = 0;
    placeholderPending_ = false;
    buf_.clear();
}

// The file is still the one the run opened, and as long as written:
// writing past the end of a file cut short would fill it with zeros.
bool PointFileWriter::stillOurs() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return failWith(errno);
    if (st.st_nlink == 0) {
        problem_ = "The point file " + path_ + " was deleted while the run wrote to it.";
    } else if (st.st_size < committed_) {
        problem_ = "The point file " + path_ + " was cut short while the run wrote to it.";
    } else {
        return true;
    }
    foreign_ = true;  // someone else's now: not another byte
    buf_.clear();
    pending_ = 0;
    return false;
}

bool PointFileWriter::failWith(int err) {
    if (problem_.empty()) problem_ = std::string(std::strerror(err)) + " writing " + path_;
    buf_.clear();
    pending_ = 0;
    return false;
}

bool cutToWholeLines(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool cut = false;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        off_t end = st.st_size;
        char buf[4096];
        // Search backwards for the last line end.
        while (end > 0) {
            const off_t from = std::max<off_t>(0, end - static_cast<off_t>(sizeof buf));
            const ssize_t n = ::pread(fd, buf, static_cast<std::size_t>(end - from), from);
            if (n != end - from) break;
            const void* nl = memrchr(buf, '\n', static_cast<std::size_t>(n));
            if (nl) {
                end = from + (static_cast<const char*>(nl) - buf) + 1;
                break;
            }
            end = from;
        }
        if (end < st.st_size && end > 0) cut = ::ftruncate(fd, end) == 0;
    }
    ::close(fd);
    return cut;
}

std::string convertPointFileToXyz(const XyzOptions& options) {
    const bool firstQuadrant = options.firstQuadrant;
    const bool byNodes = options.byNodes;

    const auto& orb = globals().orbital;
    auto& run = globals().run;
    const std::string csvFile = orb.csvFile;
    const std::string xyzFile = orb.xyzFile;
    std::string problem;  // the first error met; the work goes on regardless
    auto note = [&problem](const std::string& text) {
        if (problem.empty()) problem = text;
    };

    LineReader in(csvFile);
    std::optional<PointFileHeader> h;
    if (!in.isOpen()) {
        note(errorText(in.error()));
    } else {
        const LineReader::Status s = readHeader(in, h);
        if (s == LineReader::Failed)
            note(in.tooLong() ? "The first line of the point data file is far too long." : errorText(in.error()));
        else if (!h)
            note("The first line of the point data file does not hold the point count, the extent and the "
                 "largest psi squared.");
        if (h) {
            run.nPoints = h->count;
            run.maxPsi2 = h->maxPsi2;
        }
    }

    BlockWriter out(xyzFile);
    if (!out.isOpen()) note(errorText(out.error()));
    const double s = ((100 / orb.dotSize) * 5) / orb.axisMax;
    if (!std::isfinite(s)) note("The axis length is zero, so the points cannot be scaled.");
    out.put(std::string(headerLength, ' ') + crlf);
    const std::string comment = orb.baseName + " " + orb.speciesName + " " + orb.colorSuffix + " " + calcEnergy(globals().orbital, EnergyForm::RawJoules, EnergyUnit::Joules);
    out.put(comment + crlf);

    // The same atoms for the pages' viewer, written in the same pass.
    const auto& classes = globals().colorElements;
    const std::string scriptFile = xyzFile + ".js";
    CloudScriptWriter cloud(scriptFile, std::filesystem::path(xyzFile).filename().string(), comment,
                            std::vector<std::string>(classes.begin(), classes.begin() + 16));

    // Nucleus and the three axes; the O, B and N half-axes are the positive
    // x, y and z of the data once y and z are flipped.
    long long atoms = 1;
    out.put("He 0.0 0.0 0.0" + crlf);
    cloud.add("He", 0, 0, 0);
    for (int i = 1; i <= orb.axisMax; ++i) {
        const std::string t = numText(i * s);
        const std::string mt = numText((-i) * s);
        const bool tenth = i % 10 == 0;
        out.put((tenth ? "C " : "O ") + t + " 0.0 0.0" + crlf);
        out.put((tenth ? "C " : "He ") + mt + " 0.0 0.0" + crlf);
        out.put((tenth ? "C 0.0 " : "He 0.0 ") + t + " 0.0" + crlf);
        out.put((tenth ? "C 0.0 " : "B 0.0 ") + mt + " 0.0" + crlf);
        out.put((tenth ? "C 0.0 0.0 " : "He 0.0 0.0 ") + t + crlf);
        out.put((tenth ? "C 0.0 0.0 " : "N 0.0 0.0 ") + mt + crlf);
        cloud.add(tenth ? "C" : "O", i * s, 0, 0);
        cloud.add(tenth ? "C" : "He", (-i) * s, 0, 0);
        cloud.add(tenth ? "C" : "He", 0, i * s, 0);
        cloud.add(tenth ? "C" : "B", 0, (-i) * s, 0);
        cloud.add(tenth ? "C" : "He", 0, 0, i * s);
        cloud.add(tenth ? "C" : "N", 0, 0, (-i) * s);
        atoms += 6;
    }

    const long long count = in.isOpen() && h && std::isfinite(s) ? h->count : 0;
    const double maxPsi2 = h ? h->maxPsi2 : 0;
    std::string_view line;
    CloudPoint v;
    for (long long rec = 0; rec < count; ++rec) {
        const LineReader::Status st = nextRecord(in, line);
        if (st == LineReader::End) {
            note("The point data file ends after " + intText(rec) + " of its " + intText(count) + " points.");
            break;
        }
        if (st == LineReader::Failed || !parsePointLine(line, v)) {
            note(st == LineReader::Failed && !in.tooLong()
                     ? errorText(in.error())
                     : "Point " + intText(rec + 1) + " of the point data file is not four numbers.");
            break;
        }
        if ((rec & 255) == 0) pumpEvents();
        if (firstQuadrant && !(v.x > 0 && v.y > 0 && v.z > 0)) continue;

        const double psi = v.psi;
        const std::string_view symbol = byNodes ? signSymbol(psi) : classSymbol(probabilityClass(psi, maxPsi2));
        char* p = out.reserve(160);
        char* q = p;
        std::memcpy(q, symbol.data(), symbol.size());
        q += symbol.size();
        *q++ = ' ';
        q += numTextFast(v.x * s, q);
        *q++ = ' ';
        q += numTextFast(-v.y * s + 0.0, q);  // + 0.0: no "-0" for a point on the plane
        *q++ = ' ';
        q += numTextFast(-v.z * s + 0.0, q);
        *q++ = '\r';
        *q++ = '\n';
        out.advance(q - p);
        cloud.add(symbol, v.x * s, -v.y * s + 0.0, -v.z * s + 0.0);
        ++atoms;
    }

    out.patchStart(intText(atoms));
    out.close();
    if (out.error()) note(errorText(out.error()));
    if (!cloud.finish()) note(errorText(cloud.errorNumber()) + " writing the viewer's copy " + scriptFile);

    if (problem.empty()) return "";
    return "Couldn't create " + xyzFile + " from " + csvFile + crlf + crlf + problem;
}


}  // namespace vantrel
