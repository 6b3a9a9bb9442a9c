// The companion NAME.xyz.js of an XYZ file: the same atoms, packed for the
// pages' viewer. A page opened from disk may run a script element but may
// not read another local file, so the points travel as a script.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// Standard base64 with padding.
std::string base64(const std::uint8_t* bytes, std::size_t size);
// A JavaScript string literal in double quotes.
std::string javaScriptString(std::string_view text);

// Written alongside the XYZ file, atom by atom. An atom is four 16-bit
// numbers: its position in steps of one scale (sign and exact zeros
// survive) and its colour class, ready for the graphics card as they are. The leading atoms with two zero coordinates are the
// nucleus and axis marks; they are always kept. Beyond `limit` cloud atoms
// only every second, fourth, ... atom is kept, so that a browser can still
// show a huge cloud from an even share of it.
class CloudScriptWriter {
public:
    static constexpr std::size_t defaultLimit = 2000000;
    // `symbols` are the element symbols that the colour classes stand for.
    CloudScriptWriter(const std::string& path, const std::string& xyzName, const std::string& comment,
                      const std::vector<std::string>& symbols, std::size_t limit = defaultLimit);
    ~CloudScriptWriter();
    CloudScriptWriter(const CloudScriptWriter&) = delete;
    CloudScriptWriter& operator=(const CloudScriptWriter&) = delete;

    // One atom at the coordinates written to the XYZ file.
    void add(std::string_view symbol, double x, double y, double z);
    // Writes the classes and the count and closes the file; false (and
    // errorNumber() set) when anything failed.
    bool finish();
    int errorNumber() const { return error_; }
    // Atoms written, and atoms added.
    long long count() const { return static_cast<long long>(classes_.size()); }
    long long total() const { return added_; }

private:
    std::uint8_t classOf(std::string_view symbol);
    void thin();
    void write(std::string_view text);

    std::FILE* file_ = nullptr;
    int error_ = 0;
    std::size_t limit_;
    std::vector<std::string> symbols_;
    std::vector<float> positions_;
    std::vector<std::uint8_t> classes_;
    std::size_t markers_ = 0;
    bool inMarkers_ = true;
    long long added_ = 0;
    long long cloudAdded_ = 0;
    long long stride_ = 1;
    double largest_ = 0;  // largest magnitude of a kept coordinate
    std::string lastSymbol_;
    std::uint8_t lastClass_ = 0;
};

}  // namespace vantrel
