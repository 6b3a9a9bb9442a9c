#include "output/cloudscript.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace vantrel {

namespace {

const char base64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// Atoms encoded per write: whole base64 groups, a few hundred kilobytes.
constexpr std::size_t atomsPerWrite = 3 << 14;
constexpr double largestStep = 32767;

}  // namespace

std::string base64(const std::uint8_t* bytes, std::size_t size) {
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        const std::uint32_t v = (bytes[i] << 16) | (bytes[i + 1] << 8) | bytes[i + 2];
        out += base64Digits[v >> 18];
        out += base64Digits[(v >> 12) & 63];
        out += base64Digits[(v >> 6) & 63];
        out += base64Digits[v & 63];
    }
    if (i < size) {
        const std::uint32_t v = (bytes[i] << 16) | (i + 1 < size ? bytes[i + 1] << 8 : 0);
        out += base64Digits[v >> 18];
        out += base64Digits[(v >> 12) & 63];
        out += i + 1 < size ? base64Digits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string javaScriptString(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7f) {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

CloudScriptWriter::CloudScriptWriter(const std::string& path, const std::string& xyzName, const std::string& comment,
                                     const std::vector<std::string>& symbols, std::size_t limit)
    : limit_(limit < 1 ? 1 : limit) {
    for (const auto& s : symbols) symbols_.emplace_back(trimmed(s));
    if (symbols_.empty()) symbols_.emplace_back();
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        error_ = errno ? errno : EIO;
        return;
    }
    std::string head = "// Vantrel point cloud: the atoms of " + xyzName + " for the 3-D viewer of the pages.\n";
    head += "(window.vantrelClouds = window.vantrelClouds || {})[" + javaScriptString(xyzName) + "] = {\n";
    head += "comment: " + javaScriptString(comment) + ",\n";
    head += "symbols: [";
    for (std::size_t i = 0; i < symbols_.size(); ++i) {
        if (i) head += ',';
        head += javaScriptString(symbols_[i]);
    }
    head += "],\n";
    write(head);
}

CloudScriptWriter::~CloudScriptWriter() {
    if (file_) std::fclose(file_);
}

std::uint8_t CloudScriptWriter::classOf(std::string_view symbol) {
    symbol = trimmed(symbol);
    if (symbol == lastSymbol_ && added_ > 0) return lastClass_;
    std::uint8_t found = 0;
    for (std::size_t i = 0; i < symbols_.size() && i < 256; ++i) {
        if (symbols_[i] == symbol) {
            found = static_cast<std::uint8_t>(i);
            break;
        }
    }
    lastSymbol_ = symbol;
    lastClass_ = found;
    return found;
}

void CloudScriptWriter::add(std::string_view symbol, double x, double y, double z) {
    const std::uint8_t cls = classOf(symbol);
    ++added_;
    if (inMarkers_ && (x == 0) + (y == 0) + (z == 0) >= 2) {
        ++markers_;
    } else {
        inMarkers_ = false;
        if (cloudAdded_++ % stride_ != 0) return;
    }
    for (double v : {x, y, z}) {
        positions_.push_back(static_cast<float>(v));
        if (std::isfinite(v)) largest_ = std::max(largest_, std::fabs(v));
    }
    classes_.push_back(cls);
    if (classes_.size() - markers_ > limit_) thin();
}

// Every second cloud atom kept so far goes, and from now on only every
// second one of those that would have been kept is.
void CloudScriptWriter::thin() {
    std::size_t to = markers_;
    for (std::size_t from = markers_; from < classes_.size(); from += 2, ++to) {
        classes_[to] = classes_[from];
        for (int k = 0; k < 3; ++k) positions_[to * 3 + k] = positions_[from * 3 + k];
    }
    classes_.resize(to);
    positions_.resize(to * 3);
    stride_ *= 2;
}

void CloudScriptWriter::write(std::string_view text) {
    if (!file_ || error_ || text.empty()) return;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) error_ = errno ? errno : EIO;
}

bool CloudScriptWriter::finish() {
    const double scale = largest_ > 0 ? largest_ / largestStep : 1;
    char scaleText[40];
    std::snprintf(scaleText, sizeof scaleText, "%.17g", scale);
    write("count: " + std::to_string(classes_.size()) + ",\ntotal: " + std::to_string(added_) +
          ",\nmarkers: " + std::to_string(markers_) + ",\nscale: " + scaleText + ",\natoms: \"");
    // Four little-endian 16-bit numbers an atom: x, y, z in steps of the
    // scale, and the class. Three atoms make eight whole base64 groups.
    std::vector<std::uint8_t> bytes;
    auto put = [&bytes](double v) {
        const auto u = static_cast<std::uint16_t>(static_cast<std::int16_t>(v));
        bytes.push_back(static_cast<std::uint8_t>(u & 255));
        bytes.push_back(static_cast<std::uint8_t>(u >> 8));
    };
    for (std::size_t first = 0; first < classes_.size(); first += atomsPerWrite) {
        const std::size_t last = std::min(classes_.size(), first + atomsPerWrite);
        bytes.clear();
        for (std::size_t i = first; i < last; ++i) {
            for (int k = 0; k < 3; ++k) {
                const float p = positions_[i * 3 + k];
                put(std::isfinite(p) ? std::clamp(std::nearbyint(p / scale), -largestStep, largestStep) : 0);
            }
            put(classes_[i]);
        }
        write(base64(bytes.data(), bytes.size()));
    }
    write("\"\n};\n");
    if (file_) {
        if (std::fclose(file_) != 0 && !error_) error_ = errno ? errno : EIO;
        file_ = nullptr;
    } else if (!error_) {
        error_ = EIO;
    }
    return error_ == 0;
}

}  // namespace vantrel
