#include "output/cloudscript.h"

#include <cerrno>
#include <cstring>

namespace vantrel {

namespace {

const char base64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

// The viewer reads the positions as little-endian floats.
void putFloat(std::uint8_t* out, double value) {
    const float f = static_cast<float>(value);
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

constexpr std::size_t flushSize = 1 << 20;

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
                                     const std::vector<std::string>& symbols) {
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
    head += "],\npositions: \"";
    write(head);
}

CloudScriptWriter::~CloudScriptWriter() {
    if (file_) std::fclose(file_);
}

std::uint8_t CloudScriptWriter::classIndex(std::string_view symbol) const {
    symbol = trimmed(symbol);
    for (std::size_t i = 0; i < symbols_.size() && i < 256; ++i)
        if (symbols_[i] == symbol) return static_cast<std::uint8_t>(i);
    return 0;
}

std::uint8_t CloudScriptWriter::classOf(std::string_view symbol) {
    symbol = trimmed(symbol);
    if (symbol == lastSymbol_ && !classes_.empty()) return lastClass_;
    lastSymbol_ = symbol;
    lastClass_ = classIndex(symbol);
    return lastClass_;
}

void CloudScriptWriter::encodePosition(double x, double y, double z, char* out) {
    std::uint8_t bytes[12];
    putFloat(bytes, x);
    putFloat(bytes + 4, y);
    putFloat(bytes + 8, z);
    // 12 bytes are four whole groups: no padding, so the text can stream.
    for (int g = 0; g < 4; ++g) {
        const std::uint32_t v = (bytes[3 * g] << 16) | (bytes[3 * g + 1] << 8) | bytes[3 * g + 2];
        out[4 * g] = base64Digits[v >> 18];
        out[4 * g + 1] = base64Digits[(v >> 12) & 63];
        out[4 * g + 2] = base64Digits[(v >> 6) & 63];
        out[4 * g + 3] = base64Digits[v & 63];
    }
}

void CloudScriptWriter::add(std::string_view symbol, double x, double y, double z) {
    char text[positionSize];
    encodePosition(x, y, z, text);
    pending_.append(text, sizeof text);
    classes_.push_back(classOf(symbol));
    if (pending_.size() >= flushSize) flush();
}

void CloudScriptWriter::addEncoded(std::string_view positions, const std::uint8_t* classes, std::size_t count) {
    pending_.append(positions);
    classes_.insert(classes_.end(), classes, classes + count);
    if (pending_.size() >= flushSize) flush();
}

void CloudScriptWriter::flush() {
    write(pending_);
    pending_.clear();
}

void CloudScriptWriter::write(std::string_view text) {
    if (!file_ || error_ || text.empty()) return;
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size()) error_ = errno ? errno : EIO;
}

bool CloudScriptWriter::finish() {
    flush();
    write("\",\nclasses: \"" + base64(classes_.data(), classes_.size()) + "\",\ncount: " +
          std::to_string(classes_.size()) + "\n};\n");
    if (file_) {
        if (std::fclose(file_) != 0 && !error_) error_ = errno ? errno : EIO;
        file_ = nullptr;
    } else if (!error_) {
        error_ = EIO;
    }
    return error_ == 0;
}

}  // namespace vantrel
