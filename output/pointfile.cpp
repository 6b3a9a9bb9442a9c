#include "output/pointfile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
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
#include "engine/orbital.h"
#include "engine/textutil.h"
#include "engine/radialhistogram.h"
#include "output/cloudscript.h"
#include "output/fileutil.h"
#include "output/replacingfile.h"
#include "engine/orderedwork.h"

namespace vantrel {

namespace {

constexpr std::size_t blockSize = ioBlockSize;

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
        const int fd = openForReading(path);  // a FIFO would block
        file_ = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
        if (!file_) error_ = errno;
        if (!file_ && fd >= 0) ::close(fd);
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

    // The next stretch of whole lines, about a block, line ends included;
    // the file's last line may lack its end. For readers that split the
    // lines up themselves.
    Status nextChunk(std::string& out) {
        for (;;) {
            const char* begin = buf_.data() + pos_;
            const void* last = end_ > pos_ ? memrchr(begin, '\n', end_ - pos_) : nullptr;
            if (last || (eof_ && pos_ < end_)) {
                const std::size_t n = last ? static_cast<const char*>(last) + 1 - begin : end_ - pos_;
                out.assign(begin, n);
                pos_ += n;
                return Line;
            }
            if (eof_) return End;
            if (pos_ == 0 && end_ == buf_.size()) {
                tooLong_ = true;
                return Failed;
            }
            if (!fill()) return Failed;
        }
    }

    static std::string_view trimCr(std::string_view s) {
        if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
        return s;
    }

private:
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

// Writes through one large block into a file that replaces the target
// only when whole; remembers the first failure.
class BlockWriter {
public:
    explicit BlockWriter(const std::string& path) : file_(path) {}
    BlockWriter(const BlockWriter&) = delete;
    BlockWriter& operator=(const BlockWriter&) = delete;

    // Room for at least n more bytes at the returned position.
    char* reserve(std::size_t n) {
        if (buf_.size() - used_ < n) flush();
        return buf_.data() + used_;
    }
    void advance(std::size_t n) { used_ += n; }
    void put(std::string_view s) {
        if (s.size() > buf_.size()) {
            flush();
            file_.write(s);
            return;
        }
        std::memcpy(reserve(s.size()), s.data(), s.size());
        used_ += s.size();
    }

    void flush() {
        if (used_ > 0) file_.write(std::string_view(buf_.data(), used_));
        used_ = 0;
    }

    // Overwrites the start of the file in place (the rest stays).
    void patchStart(std::string_view s) {
        flush();
        file_.overwriteStart(s);
    }

    // Renames the file into place; "" or what went wrong.
    std::string close() {
        flush();
        return file_.commit();
    }

private:
    ReplacingFile file_;
    Block buf_;
    std::size_t used_ = 0;
};

bool isblank(char c) { return c == ' ' || c == '\t'; }

void skipBlanks(const char*& p, const char* end) {
    while (p < end && isblank(*p)) ++p;
}

// Eight ASCII digits, the first in the lowest byte, as a number: pairs,
// then fours, then the whole, each step on all fields at once.
std::uint32_t eightDigitValue(std::uint64_t v) {
    v -= 0x3030303030303030ULL;
    v = (v * 10) + (v >> 8);
    v = (((v & 0x000000FF000000FFULL) * (100 + (1000000ULL << 32))) +
         (((v >> 16) & 0x000000FF000000FFULL) * (1 + (10000ULL << 32)))) >>
        32;
    return static_cast<std::uint32_t>(v);
}

// How many of the eight bytes of v, from the lowest, are digits before the
// first byte that is not.
int leadingDigits(std::uint64_t v) {
    // nonzero bytes where a byte is no digit (a carry out of one only
    // disturbs the bytes after it)
    const std::uint64_t notDigit = ((v & 0xF0F0F0F0F0F0F0F0ULL) ^ 0x3030303030303030ULL) |
                                   (((v + 0x0606060606060606ULL) & 0xF0F0F0F0F0F0F0F0ULL) ^ 0x3030303030303030ULL);
    return notDigit ? __builtin_ctzll(notDigit) / 8 : 8;
}

// The digits from q on, up to eight at a time while eight bytes are left,
// added to n; how many.
int readDigits(const char*& q, const char* end, std::uint64_t& n) {
    static constexpr std::uint64_t tens[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    int count = 0;
    while (end - q >= 8 && count <= 16) {
        std::uint64_t word;
        std::memcpy(&word, q, 8);
        const int k = leadingDigits(word);
        if (k == 0) return count;
        // the k digits moved to the top, zeros before them
        const std::uint64_t digits = k == 8 ? word : (word << (8 * (8 - k))) | (0x3030303030303030ULL >> (8 * k));
        n = n * tens[k] + eightDigitValue(digits);
        q += k;
        count += k;
        if (k < 8) return count;
    }
    for (; q < end && *q >= '0' && *q <= '9'; ++q, ++count) n = n * 10 + (*q - '0');
    return count;
}

// A plain decimal ("-12.345") whose digits make a whole number below 2^53,
// as the point files hold them: that number over a power of ten is
// correctly rounded (both are exact), so it reads as from_chars would.
// False, p unmoved, for anything else.
bool parsePlainDecimal(const char*& p, const char* end, double& out) {
    static constexpr double tens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                      1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const char* q = p;
    const bool negative = q < end && *q == '-';
    q += negative;
    std::uint64_t n = 0;
    int digits = readDigits(q, end, n), decimals = 0;
    if (digits <= 19 && q < end && *q == '.') {
        ++q;
        decimals = readDigits(q, end, n);
        digits += decimals;
    }
    if (digits == 0 || digits > 19 || n >= (1ULL << 53) || decimals > 22 || (q < end && (*q == 'e' || *q == 'E')))
        return false;
    const double v = static_cast<double>(n) / tens[decimals];
    out = negative ? -v : v;
    p = q;
    return true;
}

// One number filling the text from p up to the first separator; false for
// anything that is not a finite number (NaN, 1E+400, garbage).
bool parseNumber(const char*& p, const char* end, double& out) {
    const char* start = p;
    if (p < end && *p == '+') ++p;
    if (p < end && *p == '+') return false;
    if (parsePlainDecimal(p, end, out)) return true;
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

// A sampled point lies in the cube of the run's extent (the last digit of
// the text may round it out a little); an extent of 0 is unknown.
bool insideExtent(const CloudPoint& p, double extent) {
    const double limit = std::fabs(extent) * (1 + 1e-9);
    return extent == 0 || (std::fabs(p.x) <= limit && std::fabs(p.y) <= limit && std::fabs(p.z) <= limit);
}

std::string errorText(int err) { return err == EINVAL ? "Not a regular file" : std::strerror(err); }

// One stretch of the point file on its way to the XYZ file and its
// companion, made on whichever thread takes it.
struct XyzChunk {
    std::string lines;  // whole lines of the point file
    LineReader::Status status = LineReader::Line;
    // one entry a record (a line that is not blank), up to the first bad one
    std::vector<std::uint32_t> xyzEnd, atomsEnd;
    bool bad = false;  // the record after them is not four numbers
    std::string xyz;   // the XYZ lines, up to xyzEnd.back()
    struct Atom {
        std::string_view symbol;
        double x, y, z;
    };
    std::vector<Atom> atoms;  // the same atoms for the viewer's copy
};

struct XyzFormat {
    double scale, maxPsi2, extent;
    bool firstQuadrant, byNodes;
};

void convertChunk(XyzChunk& c, const XyzFormat& f) {
    constexpr std::size_t longestLine = 160;
    c.xyzEnd.clear();
    c.atomsEnd.clear();
    c.bad = false;
    c.atoms.clear();
    if (c.xyz.size() < c.lines.size() + longestLine) c.xyz.resize(c.lines.size() + longestLine);
    std::size_t used = 0;
    const char* p = c.lines.data();
    const char* end = p + c.lines.size();
    CloudPoint v;
    while (p < end) {
        const char* nl = static_cast<const char*>(std::memchr(p, '\n', end - p));
        const char* lineEnd = nl ? nl : end;
        const std::string_view line = LineReader::trimCr(std::string_view(p, lineEnd - p));
        p = nl ? nl + 1 : end;
        if (blankLine(line)) continue;
        if (!parsePointLine(line, v) || !insideExtent(v, f.extent)) {
            c.bad = true;
            break;
        }
        if (!f.firstQuadrant || (v.x > 0 && v.y > 0 && v.z > 0)) {
            const double psi = v.psi;
            const std::string_view symbol =
                f.byNodes ? signSymbol(psi) : classSymbol(probabilityClass(psi, f.maxPsi2));
            if (c.xyz.size() < used + longestLine) c.xyz.resize(2 * c.xyz.size());
            char* q = c.xyz.data() + used;
            std::memcpy(q, symbol.data(), symbol.size());
            q += symbol.size();
            *q++ = ' ';
            const double x = v.x * f.scale, y = -v.y * f.scale + 0.0, z = -v.z * f.scale + 0.0;  // + 0.0: no "-0"
            q += numTextFast(x, q);
            *q++ = ' ';
            q += numTextFast(y, q);
            *q++ = ' ';
            q += numTextFast(z, q);
            *q++ = '\r';
            *q++ = '\n';
            used = q - c.xyz.data();
            c.atoms.push_back({symbol, x, y, z});
        }
        c.xyzEnd.push_back(static_cast<std::uint32_t>(used));
        c.atomsEnd.push_back(static_cast<std::uint32_t>(c.atoms.size()));
    }
}

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
    const int fd = openForReading(path);
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
                              const std::function<RadialHistogram(const std::optional<PointFileHeader>&)>& start,
                              const std::function<void(long long)>& progress,
                              const std::function<void()>& keepResponsive) {
    PointFileCount count;
    int points = 0;
    double extent = 0;
    auto onHeader = [&](const std::optional<PointFileHeader>& h) {
        count.histogram = start(h);
        if (h) extent = h->extent;
    };
    count.read = forEachPoint(
        path,
        [&](const CloudPoint& p) {
            if (!insideExtent(p, extent)) return false;
            if (!count.histogram.addRadius(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z))) return false;
            if ((++points & 1023) == 0) {
                if (keepResponsive) keepResponsive();
                if (progress) progress(points);
            }
            return true;
        },
        onHeader);
    return count;
}

constexpr std::size_t flushSize = ioBlockSize / 4;

namespace {

// One run at a time writes an orbital's point file: the lock lasts as long
// as the descriptor. False when another run holds it.
bool lockedForUs(int fd) {
    int r;
    do r = ::flock(fd, LOCK_EX | LOCK_NB);
    while (r != 0 && errno == EINTR);
    return r == 0;
}

}  // namespace

bool PointFileWriter::lockOrRefuse() {
    if (lockedForUs(fd_)) return true;
    problem_ = "Another run is writing the point file " + path_ +
               " at the moment, so this one leaves it alone. Run this orbital again once that run has ended.";
    ::close(fd_);
    fd_ = -1;
    return false;
}

bool PointFileWriter::create() {
    // Emptied only once it is ours: another run may be writing it.
    fd_ = openForWriting(path_, O_CREAT);
    committed_ = 0;
    if (fd_ < 0) return failWith(errno);
    if (!lockOrRefuse()) return false;
    if (::ftruncate(fd_, 0) != 0) return failWith(errno);
    return true;
}

bool PointFileWriter::openAppend(int points) {
    fd_ = openForWriting(path_, 0);
    if (fd_ < 0) return failWith(errno);
    if (!lockOrRefuse()) return false;
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
    addLine(std::string_view(line, pointLineText(point, line)));
}

void PointFileWriter::addLine(std::string_view line) {
    buf_.append(line);
    ++pending_;
    if (buf_.size() >= flushSize) flush();
}

void PointFileWriter::prepare(const SampleBlock& block, std::string& text, std::uint32_t* ends) const {
    const std::size_t start = text.size();
    text.resize(start + static_cast<std::size_t>(block.nAccepted) * pointLineRoom);
    std::size_t n = start;
    for (int j = 0; j < block.nAccepted; ++j) {
        n += pointLineText({block.x[j], block.y[j], block.z[j], block.psi[j]}, text.data() + n);
        ends[j] = static_cast<std::uint32_t>(n);
    }
    text.resize(n);
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
    if (problem_.empty()) problem_ = errorText(err) + " writing " + path_;
    buf_.clear();
    pending_ = 0;
    return false;
}

bool cutToWholeLines(const std::string& path) {
    const int fd = openForWriting(path, 0);
    if (fd < 0) return false;
    if (!lockedForUs(fd)) {  // its writer's line is not cut off: the run will refuse to append
        ::close(fd);
        return false;
    }
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

namespace {

// The element symbols of the colour classes 1..15, at their class numbers.
std::vector<std::string> classSymbols() {
    std::vector<std::string> symbols(probabilityClassCount + 1);
    for (int cls = 1; cls <= probabilityClassCount; ++cls) symbols[cls] = std::string(classSymbol(cls));
    return symbols;
}

}  // namespace

XyzResult convertPointFileToXyz(const XyzOptions& options) {
    const bool firstQuadrant = options.firstQuadrant;
    const bool byNodes = options.byNodes;
    const XyzOptions& orb = options;
    const std::string& csvFile = options.csvFile;
    const std::string& xyzFile = options.xyzFile;
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
    }

    BlockWriter out(xyzFile);
    const double s = ((100 / orb.dotSize) * 5) / orb.axisMax;
    if (!std::isfinite(s)) note("The axis length is zero, so the points cannot be scaled.");
    out.put(std::string(headerLength, ' ') + crlf);
    const std::string comment = orb.baseName + " " + orb.speciesName + " " + orb.colorSuffix + " " + calcEnergy(orb.numbers, EnergyForm::RawJoules, EnergyUnit::Joules);
    out.put(comment + crlf);

    // The same atoms for the pages' viewer, written in the same pass.
    const std::string scriptFile = xyzFile + ".js";
    CloudScriptWriter cloud(scriptFile, std::filesystem::path(xyzFile).filename().string(), comment, classSymbols());

    // Nucleus and the three axes; the O, B and N half-axes are the positive
    // x, y and z of the data once y and z are flipped.
    long long atoms = 1;
    out.put("He 0.0 0.0 0.0" + crlf);
    cloud.add("He", 0, 0, 0);
    // Each line put in pieces: a string made for every one costs the long
    // axes of a large extent more than their writing.
    char tBuf[32], mtBuf[32];
    auto line = [&out](std::string_view a, std::string_view b, std::string_view c) {
        out.put(a);
        out.put(b);
        out.put(c);
        out.put(crlf);
    };
    for (int i = 1; i <= orb.axisMax; ++i) {
        const std::string_view t(tBuf, numTextFast(i * s, tBuf));
        const std::string_view mt(mtBuf, numTextFast((-i) * s, mtBuf));
        const bool tenth = i % 10 == 0;
        line(tenth ? "C " : "O ", t, " 0.0 0.0");
        line(tenth ? "C " : "He ", mt, " 0.0 0.0");
        line(tenth ? "C 0.0 " : "He 0.0 ", t, " 0.0");
        line(tenth ? "C 0.0 " : "B 0.0 ", mt, " 0.0");
        line(tenth ? "C 0.0 0.0 " : "He 0.0 0.0 ", t, "");
        line(tenth ? "C 0.0 0.0 " : "N 0.0 0.0 ", mt, "");
        cloud.add(tenth ? "C" : "O", i * s, 0, 0);
        cloud.add(tenth ? "C" : "He", (-i) * s, 0, 0);
        cloud.add(tenth ? "C" : "He", 0, i * s, 0);
        cloud.add(tenth ? "C" : "B", 0, (-i) * s, 0);
        cloud.add(tenth ? "C" : "He", 0, 0, i * s);
        cloud.add(tenth ? "C" : "N", 0, 0, (-i) * s);
        atoms += 6;
    }

    const long long count = in.isOpen() && h && std::isfinite(s) ? h->count : 0;
    if (count > 0) {
        // Stretches of lines are read in order, converted on every core and
        // written in order: the same bytes as one line after another.
        const XyzFormat format{s, h->maxPsi2, h->extent, firstQuadrant, byNodes};
        bool readFailed = false;
        OrderedWork<XyzChunk> pool(
            options.threads,
            [&](XyzChunk& c) {
                if (readFailed) return false;
                c.status = in.nextChunk(c.lines);
                readFailed = c.status == LineReader::Failed;
                if (readFailed) c.lines.clear();
                return c.status != LineReader::End;
            },
            [&format](XyzChunk& c) { convertChunk(c, format); });
        long long rec = 0;
        if (options.progress) options.progress(0, count);
        while (rec < count) {
            const XyzChunk* c = pool.next();
            if (!c) {
                note("The point data file ends after " + intText(rec) + " of its " + intText(count) + " points.");
                break;
            }
            const long long take = std::min(static_cast<long long>(c->xyzEnd.size()), count - rec);
            if (take > 0) {
                const std::uint32_t atomsTaken = c->atomsEnd[take - 1];
                out.put(std::string_view(c->xyz.data(), c->xyzEnd[take - 1]));
                for (std::uint32_t i = 0; i < atomsTaken; ++i) {
                    const XyzChunk::Atom& atom = c->atoms[i];
                    cloud.add(atom.symbol, atom.x, atom.y, atom.z);
                }
                atoms += atomsTaken;
                if (options.progress && (rec >> 16) != ((rec + take) >> 16)) options.progress(rec + take, count);
                rec += take;
            }
            if (options.keepResponsive) options.keepResponsive();
            if (rec < count && (c->bad || c->status == LineReader::Failed)) {
                note(c->status == LineReader::Failed && !in.tooLong()
                         ? errorText(in.error())
                         : "Point " + intText(rec + 1) + " of the point data file is not four numbers.");
                break;
            }
        }
    }

    out.patchStart(intText(atoms));
    if (auto written = out.close(); !written.empty()) note(written);
    if (!cloud.finish()) note(errorText(cloud.errorNumber()) + " writing the viewer's copy " + scriptFile);

    if (problem.empty()) return {h, ""};
    return {h, "Couldn't create " + xyzFile + " from " + csvFile + crlf + crlf + problem};
}


}  // namespace vantrel
