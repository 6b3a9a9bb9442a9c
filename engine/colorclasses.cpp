#include "engine/colorclasses.h"

#include <cmath>



namespace vantrel {

namespace {

constexpr std::string_view classSymbols = "O BeArP S SiB B MgNaN I HeC H ";

struct Element {
    std::string_view symbol;
    Rgb colour;
};

// RasMol's element colours; Be and Ar, which RasMol leaves at its "unknown"
// pink, take Jmol's so that the two classes differ. The pages' viewer uses
// the same table.
constexpr Element elements[] = {
    {"H", {255, 255, 255}}, {"He", {255, 192, 203}}, {"Li", {178, 34, 34}},  {"Be", {194, 255, 0}},
    {"B", {0, 255, 0}},     {"C", {200, 200, 200}},  {"N", {143, 143, 255}}, {"O", {240, 0, 0}},
    {"F", {218, 165, 32}},  {"Na", {0, 0, 255}},     {"Mg", {34, 139, 34}},  {"Al", {128, 128, 144}},
    {"Si", {218, 165, 32}}, {"P", {255, 165, 0}},    {"S", {255, 200, 50}},  {"Cl", {0, 255, 0}},
    {"Ar", {128, 209, 227}}, {"I", {160, 32, 240}},
};
constexpr Rgb unknownColour{255, 20, 147};

char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::string_view classSymbol(int cls) {
    if (cls < 1 || cls > probabilityClassCount) return {};
    return classSymbols.substr(static_cast<std::size_t>(cls - 1) * 2, 2);
}

std::string_view signSymbol(double psi) { return psi <= 0 ? "O" : "N"; }

Rgb elementColour(std::string_view symbol) {
    while (!symbol.empty() && symbol.front() == ' ') symbol.remove_prefix(1);
    while (!symbol.empty() && symbol.back() == ' ') symbol.remove_suffix(1);
    if (symbol.empty() || symbol.size() > 2) return unknownColour;
    char name[2] = {upperAscii(symbol[0]), symbol.size() > 1 ? lowerAscii(symbol[1]) : '\0'};
    const std::string_view key(name, symbol.size());
    for (const Element& e : elements)
        if (e.symbol == key) return e.colour;
    return unknownColour;
}

}  // namespace vantrel
