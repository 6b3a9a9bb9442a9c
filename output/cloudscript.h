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

// Written alongside the XYZ file, atom by atom: positions stream out as
// they come; the colour classes (one byte an atom) follow at the end.
class CloudScriptWriter {
public:
    // `symbols` are the element symbols that the colour classes stand for.
    CloudScriptWriter(const std::string& path, const std::string& xyzName, const std::string& comment,
                      const std::vector<std::string>& symbols);
    ~CloudScriptWriter();
    CloudScriptWriter(const CloudScriptWriter&) = delete;
    CloudScriptWriter& operator=(const CloudScriptWriter&) = delete;

    // One atom at the coordinates written to the XYZ file.
    void add(std::string_view symbol, double x, double y, double z);

    // The same in two halves, for writers that encode atoms on several
    // threads: an atom's position as it goes in the file (positionSize
    // bytes), and the class of its symbol.
    static constexpr std::size_t positionSize = 16;
    static void encodePosition(double x, double y, double z, char* out);
    std::uint8_t classIndex(std::string_view symbol) const;
    // `count` atoms whose positions are encoded one after another.
    void addEncoded(std::string_view positions, const std::uint8_t* classes, std::size_t count);
    // Writes the classes and the count and closes the file; false (and
    // errorNumber() set) when anything failed.
    bool finish();
    int errorNumber() const { return error_; }
    long long count() const { return static_cast<long long>(classes_.size()); }

private:
    std::uint8_t classOf(std::string_view symbol);
    void flush();
    void write(std::string_view text);

    std::FILE* file_ = nullptr;
    int error_ = 0;
    std::vector<std::string> symbols_;
    std::vector<std::uint8_t> classes_;
    std::string pending_;  // base64 of positions not yet written
    std::string lastSymbol_;
    std::uint8_t lastClass_ = 0;
};

}  // namespace vantrel
