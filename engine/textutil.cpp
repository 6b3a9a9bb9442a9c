#include "engine/textutil.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

namespace vantrel {

namespace {

// A finite number as at most 15 significant decimal digits:
// value = d[0].d[1]d[2]... x 10^exp, no trailing zeros, nd = 0 for zero.
struct Decimal {
    bool neg = false;
    int nd = 0;
    int exp = 0;
    char d[24];
};

constexpr std::uint64_t pow10[20] = {1ULL,
                                     10ULL,
                                     100ULL,
                                     1000ULL,
                                     10000ULL,
                                     100000ULL,
                                     1000000ULL,
                                     10000000ULL,
                                     100000000ULL,
                                     1000000000ULL,
                                     10000000000ULL,
                                     100000000000ULL,
                                     1000000000000ULL,
                                     10000000000000ULL,
                                     100000000000000ULL,
                                     1000000000000000ULL,
                                     10000000000000000ULL,
                                     100000000000000000ULL,
                                     1000000000000000000ULL,
                                     10000000000000000000ULL};

// x (positive, normal) times 10^k rounded to an integer, ties to even,
// exactly: x = m * 2^q with q < 0 in the range where this is used.
std::uint64_t scaledRound(std::uint64_t m, int q, int k) {
    unsigned __int128 p = (unsigned __int128)m * pow10[k];
    int s = -q;
    std::uint64_t n = (std::uint64_t)(p >> s);
    unsigned __int128 rest = p & ((((unsigned __int128)1) << s) - 1);
    unsigned __int128 half = ((unsigned __int128)1) << (s - 1);
    if (rest > half || (rest == half && (n & 1))) ++n;
    return n;
}

// x (positive) as a 15-digit integer n and the power of ten e of its first
// digit, x ~ n * 10^(e - 14), in integer arithmetic for the plain range
// (1E-05 to 1E+15, where nearly every written number lies). False when x
// is outside it.
bool plainDigits(double x, std::uint64_t& n, int& e) {
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    int be = int(bits >> 52 & 0x7FF);
    if (be == 0) return false;  // subnormal: far below the range
    std::uint64_t m = (bits & ((1ULL << 52) - 1)) | (1ULL << 52);
    int q = be - 1075;  // x = m * 2^q
    if (q >= 0 || q < -110) return false;
    // Decimal exponent from the binary one: floor((be - 1023) log10 2),
    // one short of floor(log10 x) when x reaches the next power of ten.
    e = ((be - 1023) * 1233) >> 12;
    static constexpr double tens[] = {1e-5, 1e-4, 1e-3, 1e-2, 1e-1, 1e0,  1e1,  1e2,  1e3, 1e4, 1e5,
                                      1e6,  1e7,  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    if (e >= -6 && e <= 14) e += x >= tens[e + 6];
    n = 0;
    for (int tries = 0; tries < 4; ++tries) {
        int k = 14 - e;
        if (k < 0 || k > 19) return false;
        n = scaledRound(m, q, k);
        if (n >= pow10[15]) {
            ++e;
        } else if (n < pow10[14]) {
            --e;
        } else {
            break;
        }
    }
    return n >= pow10[14] && n < pow10[15] && e >= -5 && e <= 14;
}

// The eight decimal digits of v < 10^8 as bytes 0..9, the first digit in
// the lowest byte: each step splits every field of the word in two at once.
std::uint64_t eightDigits(std::uint32_t v) {
    std::uint64_t x = (v / 10000) | (std::uint64_t(v % 10000) << 32);
    const std::uint64_t hundreds = ((x * 10486) >> 20) & 0x0000007F0000007FULL;  // each half / 100
    x = ((x - hundreds * 100) << 16) | hundreds;
    const std::uint64_t tens = ((x * 103) >> 10) & 0x000F000F000F000FULL;  // each quarter / 10
    return ((x - tens * 10) << 8) | tens;
}

constexpr std::uint64_t asciiZeros = 0x3030303030303030ULL;

// The 15 digits of n (10^14 <= n < 10^15): the first seven in bytes 0..6
// of `high`, the last eight in `low`, both as text; returns the number of
// digits without the trailing zeros.
int fifteenDigits(std::uint64_t n, std::uint64_t& high, std::uint64_t& low) {
    const std::uint64_t h = eightDigits(static_cast<std::uint32_t>(n / 100000000)) >> 8;  // drop its leading 0
    const std::uint64_t l = eightDigits(static_cast<std::uint32_t>(n % 100000000));
    // trailing zero digits are the zero bytes at the top of the words
    const int zeros = l ? __builtin_clzll(l) / 8 : 8 + (__builtin_clzll(h) - 8) / 8;
    high = h | (asciiZeros >> 8);
    low = l | asciiZeros;
    return 15 - zeros;
}

bool decomposePlain(double x, Decimal& g) {
    std::uint64_t n, high, low;
    int e;
    if (!plainDigits(x, n, e)) return false;
    g.nd = fifteenDigits(n, high, low);
    std::memcpy(g.d, &high, 8);
    std::memcpy(g.d + 7, &low, 8);
    g.exp = e;
    return true;
}

// numText's plain form of a finite nonzero x in the plain range, at p; the
// end of the text, or nullptr when x is outside the range. Stores whole
// words: writes up to 32 bytes whatever the length of the text.
char* plainText(double x, char* p) {
    std::uint64_t n, high, low;
    int e;
    if (!plainDigits(std::fabs(x), n, e)) return nullptr;
    const int nd = fifteenDigits(n, high, low);
    if (std::signbit(x)) *p++ = '-';
    if (e < 0) {
        std::memcpy(p, "0.000000", 8);
        p += 1 - e;  // "0." and -e - 1 zeros
        std::memcpy(p, &high, 8);
        std::memcpy(p + 7, &low, 8);
        return p + nd;
    }
    std::memcpy(p, &high, 8);
    std::memcpy(p + 7, &low, 8);
    if (nd <= e + 1) return p + e + 1;
    // the digits after the point, moved one place on
    const unsigned __int128 all = high | (static_cast<unsigned __int128>(low) << 56);
    const unsigned __int128 rest = all >> (8 * (e + 1));
    const std::uint64_t first = static_cast<std::uint64_t>(rest), second = static_cast<std::uint64_t>(rest >> 64);
    std::memcpy(p + e + 2, &first, 8);
    std::memcpy(p + e + 10, &second, 8);
    p[e + 1] = '.';
    return p + nd + 1;
}

Decimal decompose(double x) {
    Decimal g;
    g.neg = std::signbit(x);
    if (x == 0) return g;
    if (decomposePlain(std::fabs(x), g)) return g;
    char buf[40];
    // Correctly rounded to 15 digits: "d.dddddddddddddde+XX".
    auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, 14);
    const char* p = buf;
    g.d[g.nd++] = *p++;
    if (*p == '.') ++p;
    while (*p != 'e') g.d[g.nd++] = *p++;
    ++p;
    bool eneg = *p == '-';
    ++p;
    int e = 0;
    while (p < res.ptr) e = e * 10 + (*p++ - '0');
    g.exp = eneg ? -e : e;
    while (g.nd > 0 && g.d[g.nd - 1] == '0') --g.nd;
    return g;
}

// Keeps the first `keep` digits, rounding half away from zero or half to
// even on the decimal digits themselves (so 2.675 rounds like it reads).
void roundDecimal(Decimal& g, int keep, bool halfEven) {
    if (keep >= g.nd) return;
    if (keep < 0) {
        g.nd = 0;
        return;
    }
    char r = g.d[keep];
    bool up = r > '5' || (r == '5' && (!halfEven || keep + 1 < g.nd || (keep > 0 && (g.d[keep - 1] - '0') % 2 == 1)));
    g.nd = keep;
    if (up) {
        int i = keep - 1;
        while (i >= 0 && g.d[i] == '9') g.d[i--] = '0';
        if (i < 0) {
            g.d[0] = '1';
            g.nd = 1;
            ++g.exp;
        } else {
            ++g.d[i];
        }
    }
    while (g.nd > 0 && g.d[g.nd - 1] == '0') --g.nd;
}

char digitAt(const Decimal& g, long i) { return i >= 0 && i < g.nd ? g.d[i] : '0'; }

// Fixed notation of an already rounded number: at least minint integer
// digits, then `decimals` fraction digits (point written when withPoint).
std::string fixedText(const Decimal& g, int minint, int decimals, bool withPoint) {
    std::string s;
    if (g.neg && g.nd > 0) s += '-';
    long intDigits = g.nd > 0 && g.exp >= 0 ? g.exp + 1 : 0;
    if (intDigits < minint) s.append(minint - intDigits, '0');
    for (long i = 0; i < intDigits; ++i) s += digitAt(g, i);
    if (withPoint) s += '.';
    for (int j = 1; j <= decimals; ++j) s += digitAt(g, (long)g.exp + j);
    return s;
}

std::size_t copyOut(const char* text, char* buf) {
    std::size_t n = std::strlen(text);
    std::memcpy(buf, text, n + 1);
    return n;
}

bool isBlankChar(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigitChar(char c) { return c >= '0' && c <= '9'; }

long long saturate(double f) {
    if (std::isnan(f)) return 0;
    if (f >= 0x1p63) return std::numeric_limits<long long>::max();
    if (f < -0x1p63) return std::numeric_limits<long long>::min();
    return (long long)f;
}

}  // namespace

std::size_t numTextFast(double x, char* buf) {
    if (x != 0 && std::isfinite(x)) {
        if (char* end = plainText(x, buf)) {
            *end = '\0';
            return std::size_t(end - buf);
        }
    }
    if (std::isnan(x)) return copyOut("NaN", buf);
    if (std::isinf(x)) return copyOut(x < 0 ? "-Inf" : "Inf", buf);
    Decimal g = decompose(x);
    if (g.nd == 0) return copyOut("0", buf);
    char* p = buf;
    if (g.neg) *p++ = '-';
    if (g.exp >= -5 && g.exp <= 14) {
        if (g.exp >= 0) {
            for (int i = 0; i <= g.exp; ++i) *p++ = digitAt(g, i);
            if (g.nd > g.exp + 1) {
                *p++ = '.';
                for (int i = g.exp + 1; i < g.nd; ++i) *p++ = g.d[i];
            }
        } else {
            *p++ = '0';
            *p++ = '.';
            for (int i = 1; i < -g.exp; ++i) *p++ = '0';
            for (int i = 0; i < g.nd; ++i) *p++ = g.d[i];
        }
    } else {
        *p++ = g.d[0];
        if (g.nd > 1) {
            *p++ = '.';
            for (int i = 1; i < g.nd; ++i) *p++ = g.d[i];
        }
        *p++ = 'E';
        *p++ = g.exp < 0 ? '-' : '+';
        int e = std::abs(g.exp);
        if (e >= 100) *p++ = char('0' + e / 100);
        *p++ = char('0' + e / 10 % 10);
        *p++ = char('0' + e % 10);
    }
    *p = '\0';
    return std::size_t(p - buf);
}

std::string numText(double x) {
    char buf[32];
    return std::string(buf, numTextFast(x, buf));
}

std::string intText(long long x) { return std::to_string(x); }

double val(const std::string& s) {
    // Enough digits that the sticky digit below keeps the rounding exact.
    constexpr int maxDigits = 800;
    const char* p = s.data();
    const char* end = p + s.size();
    auto skipBlanks = [&] {
        while (p < end && isBlankChar(*p)) ++p;
    };
    skipBlanks();
    bool neg = false;
    if (p < end && (*p == '-' || *p == '+')) {
        neg = *p == '-';
        ++p;
    }
    char mant[maxDigits + 24];
    int nd = 0;
    long long exp10 = 0;  // value = mant x 10^exp10
    bool anyDigit = false, point = false, dropped = false;
    for (;;) {
        skipBlanks();
        if (p == end) break;
        char c = *p;
        if (isDigitChar(c)) {
            anyDigit = true;
            if (nd == 0 && c == '0') {
                if (point) --exp10;
            } else if (nd < maxDigits) {
                mant[nd++] = c;
                if (point) --exp10;
            } else {
                if (c != '0') dropped = true;
                if (!point) ++exp10;
            }
            ++p;
        } else if (c == '.' && !point) {
            point = true;
            ++p;
        } else {
            break;
        }
    }
    if (!anyDigit) return 0;
    if (p < end && (*p == 'E' || *p == 'e' || *p == 'D' || *p == 'd')) {
        const char* q = p + 1;
        while (q < end && isBlankChar(*q)) ++q;
        bool eneg = false;
        if (q < end && (*q == '-' || *q == '+')) {
            eneg = *q == '-';
            ++q;
        }
        while (q < end && isBlankChar(*q)) ++q;
        if (q < end && isDigitChar(*q)) {
            long long e = 0;
            while (q < end && (isDigitChar(*q) || isBlankChar(*q))) {
                if (isDigitChar(*q) && e < 1000000) e = e * 10 + (*q - '0');
                ++q;
            }
            exp10 += eneg ? -e : e;
        }
    }
    if (nd == 0) return 0;
    if (dropped) {
        mant[nd++] = '1';
        --exp10;
    }
    // Far outside the double range either way; keeps the text short.
    exp10 = std::clamp(exp10, -100000LL, 100000LL);
    int len = nd;
    mant[len++] = 'e';
    auto er = std::to_chars(mant + len, mant + sizeof mant, exp10);
    double v = 0;
    auto res = std::from_chars(mant, er.ptr, v);
    if (res.ec == std::errc::result_out_of_range || std::isinf(v))
        v = exp10 + nd > 0 ? std::numeric_limits<double>::max() : 0.0;
    if (v == 0) return 0;
    return neg ? -v : v;
}

long long floorVal(const std::string& s) { return saturate(std::floor(val(s))); }

long long roundEven(double x) {
    if (std::isnan(x)) return 0;
    if (std::fabs(x) < 0x1p52) {
        // next to 2^52 a double has no fraction bits: the sum is rounded
        // to a whole number, ties to even
        const double r = x >= 0 ? (x + 0x1p52) - 0x1p52 : (x - 0x1p52) + 0x1p52;
        return static_cast<long long>(r);
    }
    return saturate(x);  // a whole number already
}

int clampInt(long long x) {
    return (int)std::clamp<long long>(x, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

std::string formatPicture(double x, const std::string& picture) {
    if (!std::isfinite(x) || picture.empty()) return numText(x);
    const std::size_t n = picture.size();
    std::size_t zeros = picture.find_first_not_of('0');
    if (zeros == std::string::npos) {  // "00000000": whole number, leading zeros
        Decimal g = decompose(x);
        roundDecimal(g, g.exp + 1, true);
        return fixedText(g, (int)n, 0, false);
    }
    if (zeros != 1 || picture[1] != '.') return numText(x);
    std::size_t k = picture.find_first_not_of('0', 2);
    int decimals = int((k == std::string::npos ? n : k) - 2);
    if (k == std::string::npos) {  // "0.00"
        Decimal g = decompose(x);
        roundDecimal(g, g.exp + decimals + 1, false);
        return fixedText(g, 1, decimals, true);
    }
    if (picture.compare(k, std::string::npos, "E+0") == 0) {  // "0.00E+0"
        Decimal g = decompose(x);
        roundDecimal(g, decimals + 1, false);
        std::string s = g.neg && g.nd > 0 ? "-" : "";
        s += g.nd > 0 ? g.d[0] : '0';
        s += '.';
        for (int i = 1; i <= decimals; ++i) s += digitAt(g, i);
        int e = g.nd > 0 ? g.exp : 0;
        s += e < 0 ? "E-" : "E+";
        s += std::to_string(std::abs(e));
        return s;
    }
    if (k == 2 && picture.find_first_not_of('#', 2) == std::string::npos) {  // "0.##"
        int most = int(n - 2);
        Decimal g = decompose(x);
        roundDecimal(g, g.exp + most + 1, false);
        std::string s = fixedText(g, 1, most, true);
        while (s.back() == '0' && s.size() > s.find('.') + 1) s.pop_back();
        if (s.back() == '.') s.pop_back();
        return s;
    }
    return numText(x);
}

std::string lower(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return r;
}

std::string upper(const std::string& s) {
    std::string r = s;
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    return r;
}

std::string trim(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    std::size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

std::string splitFirst(std::string& text, const std::string& delim) {
    // An empty delimiter counts as absent, so loops that split until the
    // text is empty always end.
    std::size_t pos = delim.empty() ? std::string::npos : text.find(delim);
    if (pos == std::string::npos) {
        std::string all = trim(text);
        text.clear();
        return all;
    }
    std::string head = trim(text.substr(0, pos));
    text = trim(text.substr(pos + delim.size()));
    return head;
}

namespace {

// Always replaces the leftmost occurrence, as if the search started again
// from the beginning after every replacement. Characters move one at a time
// from `pending` (a stack, next character on top) to `out`; a new
// occurrence can only end at the character just moved, so one tail
// comparison per character suffices and nothing is copied twice.
std::string rewrite(const std::string& text, std::size_t first, const std::string& find,
                    const std::string& repl) {
    const std::size_t m = find.size();
    std::string out = text.substr(0, first);
    out.reserve(text.size() + repl.size());
    std::string pending(text.rbegin(), text.rend() - (std::ptrdiff_t)first);
    const std::string replRev(repl.rbegin(), repl.rend());
    // Rules like "ab" -> "bbaa" grow without a useful end; stop there.
    const std::size_t limit =
        std::min<std::size_t>((text.size() + 1) * (repl.size() + 1) + (1u << 20), std::size_t(1) << 28);
    while (!pending.empty()) {
        out.push_back(pending.back());
        pending.pop_back();
        if (out.size() < m || out.back() != find.back() || std::memcmp(out.data() + out.size() - m, find.data(), m) != 0)
            continue;
        if (out.size() + pending.size() + repl.size() > limit) break;
        out.resize(out.size() - m);
        pending += replRev;
    }
    out.append(pending.rbegin(), pending.rend());
    return out;
}

// Whether no occurrence of find can overlap a copy of repl, whatever
// stands around it: at every shift some overlapping character differs.
bool cannotOverlap(const std::string& find, const std::string& repl) {
    const auto m = static_cast<std::ptrdiff_t>(find.size()), r = static_cast<std::ptrdiff_t>(repl.size());
    for (std::ptrdiff_t shift = 1 - m; shift < r; ++shift) {  // find starts at repl[shift]
        bool differs = false;
        for (std::ptrdiff_t i = std::max<std::ptrdiff_t>(0, -shift); i < m && shift + i < r && !differs; ++i)
            differs = find[i] != repl[shift + i];
        if (!differs) return false;
    }
    return true;
}

// One pass from the left: the same as restarting from the start when no
// replacement can take part in a later occurrence.
std::string replacedInOnePass(const std::string& text, std::size_t first, const std::string& find,
                              const std::string& repl) {
    std::string out;
    out.reserve(text.size() + repl.size());
    std::size_t from = 0;
    for (std::size_t at = first; at != std::string::npos; at = text.find(find, from)) {
        out.append(text, from, at - from);
        out += repl;
        from = at + find.size();
    }
    out.append(text, from, std::string::npos);
    return out;
}

}  // namespace

void replaceAll(std::string& text, const std::string& find, const std::string& repl) {
    if (find.empty()) return;
    std::size_t first = text.find(find);
    if (first == std::string::npos) return;
    // A replacement holding find is final (sealed): no later occurrence
    // overlaps it either, so both cases go in one pass.
    const bool sealed = repl.find(find) != std::string::npos;
    if (sealed || (!repl.empty() && cannotOverlap(find, repl)))
        text = replacedInOnePass(text, first, find, repl);
    else
        text = rewrite(text, first, find, repl);
}

std::string replaced(std::string text, const std::string& find, const std::string& repl) {
    replaceAll(text, find, repl);
    return text;
}

std::string fileNameOf(const std::string& path) {
    std::string t = trim(path);
    std::size_t slash = t.rfind('/');
    if (slash != std::string::npos) t = trim(t.substr(slash + 1));
    return lower(t);
}

std::size_t lastIndexOf(const std::string& s, char c) {
    std::size_t pos = s.rfind(c);
    return pos == std::string::npos ? 0 : pos + 1;
}

std::string dirOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash);
}

}  // namespace vantrel
