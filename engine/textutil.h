// Number and text helpers shared by every file writer and message, so that
// all of them agree on how a number looks as text.
#pragma once

#include <cstddef>
#include <string>

namespace vantrel {

// Line end of every file and message the program writes.
inline const std::string crlf = "\r\n";

// Up to 15 significant digits, no leading blank; plain form for
// 1E-05 <= |x| < 1E+15, exponent form otherwise ("-2.1798736E-18", "1E+15").
std::string numText(double x);
std::string intText(long long x);

// The same text as numText, written into buf (at least 32 bytes) without
// allocating; returns the length. For the hot loops that write points.
std::size_t numTextFast(double x, char* buf);

// Leading number of a text: leading blanks, tabs and line feeds skipped,
// blanks between digits skipped, an exponent part accepted, reading stops at
// the first character that cannot continue the number; 0 when none.
double val(const std::string& s);
long long floorVal(const std::string& s);  // floor of val, saturated to the 64-bit range
long long roundEven(double x);             // nearest integer, ties to even, saturated
int clampInt(long long x);                 // to the 32-bit range

// Format pictures: "0.00", "0.0", "00000000", "0.##", "0.00E+0".
std::string formatPicture(double x, const std::string& picture);

std::string lower(const std::string& s);
std::string upper(const std::string& s);
std::string trim(const std::string& s);  // blanks (and tabs) at both ends

// Trimmed text before the first delim; the trimmed rest stays in text.
// Without delim: returns the whole text and leaves "".
std::string splitFirst(std::string& text, const std::string& delim);
// Replaces every occurrence, searching again from the start after each
// replacement; when repl contains find it works in two passes through
// character 31 so that it ends.
void replaceAll(std::string& text, const std::string& find, const std::string& repl);
std::string replaced(std::string text, const std::string& find, const std::string& repl);

// Trimmed, lower-cased part after the last '/'.
std::string fileNameOf(const std::string& path);
// 1-based position of the last c, 0 when absent.
std::size_t lastIndexOf(const std::string& s, char c);
// Directory part: everything before the last '/' ("" when none).
std::string dirOf(const std::string& path);

}  // namespace vantrel
