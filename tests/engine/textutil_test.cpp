#include "engine/textutil.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <random>

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// Independent reference for numText: printf's correctly rounded 15 digits,
// which turn to the exponent form one power of ten early.
std::string reference(double x) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", x == 0 ? 0.0 : x);
    std::string s = buf;
    if (const auto e = s.find("E-05"); e != std::string::npos) {
        std::string digits = s.substr(x < 0, e - (x < 0));
        std::erase(digits, '.');
        s = (x < 0 ? "-0.0000" : "0.0000") + digits;
    }
    return s;
}

std::vector<double> sampleDoubles() {
    std::mt19937_64 gen(20240601);
    std::vector<double> xs = {1e-5, std::nextafter(1e-5, 0.0), 9.99999999999999950e-6, 1e15, std::nextafter(1e15, 0.0),
                              999999999999999.4, 999999999999999.6, 9.99999999999999950, -9.99999999999999950,
                              DBL_MAX, DBL_MIN, 4.9e-324, 123456789012345.6};
    std::uniform_real_distribution<double> unit(1.0, 10.0);
    std::uniform_int_distribution<int> power(-30, 30);
    for (int i = 0; i < 20000; ++i) {
        // All bit patterns (every magnitude) and decimal-ish values around
        // the switch between plain and exponent form.
        double a;
        std::uint64_t bits = gen();
        std::memcpy(&a, &bits, sizeof a);
        if (std::isfinite(a)) xs.push_back(a);
        double b = unit(gen) * std::pow(10.0, power(gen));
        xs.push_back(i % 2 ? b : -b);
        xs.push_back(std::round(b * 1e6) / 1e6);
        // Exact ties at the sixteenth digit round to even.
        double whole = double(gen() % 900000000000000ULL + 100000000000000ULL);
        xs.push_back(whole + 0.5);
        xs.push_back(std::floor(whole / 10) + 0.25 * double(1 + 2 * (i % 2)));
    }
    return xs;
}

TEST(NumText, KnownTextsFastFormReferenceAndReadBack) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0"}, {-0.0, "0"}, {0.5, "0.5"}, {-2.1798736e-18, "-2.1798736E-18"}, {1e15, "1E+15"},
        {1.5e-7, "1.5E-07"}, {1e100, "1E+100"}, {1e-5, "0.00001"}, {123456789012345.0, "123456789012345"},
        {999999999999999.9, "1E+15"}, {0.1 + 0.2, "0.3"}, {1.0 / 3, "0.333333333333333"},
        {123456789012345.5, "123456789012346"}, {123456789012344.5, "123456789012344"},  // ties to even
        {NAN, "NaN"}, {INFINITY, "Inf"}, {-INFINITY, "-Inf"}};
    for (auto [x, text] : cases) EXPECT_EQ(numText(x), text) << x;

    char buf[32];
    int mismatches = 0, roundTripFailures = 0;
    for (double x : sampleDoubles()) {
        std::string expected = reference(x);
        std::size_t n = numTextFast(x, buf);
        if (std::string(buf, n) != expected || numText(x) != expected) {
            if (++mismatches < 5) ADD_FAILURE() << expected << " vs " << std::string(buf, n);
        }
        if (numText(val(expected)) != expected) {
            if (++roundTripFailures < 5) ADD_FAILURE() << "round trip of " << expected;
        }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(roundTripFailures, 0);
}

TEST(Val, LeadingNumberIntegersNeverNanInfinityOrCrash) {
    const std::pair<const char*, double> cases[] = {
        {"3abc", 3}, {"abc", 0}, {"", 0}, {"-", 0}, {".", 0}, {".5", 0.5}, {"1,5", 1}, {"2e+", 2},
        {"1.2.3", 1.2}, {"0 1 0", 10}, {"1 2.5", 12.5}, {" \t\r\n -4.25", -4.25}, {"1.5E-07", 1.5e-7},
        {"2d3", 2000}, {"-2.1798736E-18 Joule", -2.1798736e-18}, {"6.E+2", 600},
        {"0.000000000000000000000000000000000000000000000001", 1e-48},
        // Never NaN nor infinity.
        {"1E+400", DBL_MAX}, {"-1E+400", -DBL_MAX}, {"1E-400", 0}, {"1E+99999999999999999999", DBL_MAX},
        {"NaN", 0}, {"inf", 0}};
    for (auto [text, x] : cases) EXPECT_EQ(val(text), x) << text;
    EXPECT_FALSE(std::signbit(val("-0")));

    // Very long digit runs are still correctly rounded.
    EXPECT_EQ(val(std::string(100000, '9')), DBL_MAX);
    EXPECT_EQ(val("1" + std::string(400, '0') + "E-400"), 1);
    EXPECT_EQ(val("0." + std::string(5000, '0') + "1E5001"), 1);
    EXPECT_EQ(val("1." + std::string(3000, '0') + "1"), 1);
    // Halfway between 1 and the next double, then a tiny bit more: rounds up.
    EXPECT_EQ(val("1.00000000000000011102230246251565404236316680908203125" + std::string(2000, '0') + "1"),
              std::nextafter(1.0, 2.0));

    std::mt19937_64 gen(7);
    std::string junk(100000, ' ');
    for (int round = 0; round < 5; ++round) {
        for (char& c : junk) c = char(gen() & 0xFF);
        EXPECT_TRUE(std::isfinite(val(junk)));
    }

    for (auto [text, n] : {std::pair{"2.7", 2LL}, {"-2.1", -3LL}, {"1E+400", LLONG_MAX}, {"-1E+30", LLONG_MIN}})
        EXPECT_EQ(floorVal(text), n) << text;
    for (auto [x, n] : {std::pair{0.5, 0LL}, {1.5, 2LL}, {2.5, 2LL}, {-2.5, -2LL}, {2.4999999, 2LL},
                        {1e300, LLONG_MAX}, {NAN, 0LL}})
        EXPECT_EQ(roundEven(x), n) << x;
    EXPECT_EQ(clampInt(1LL << 40), INT_MAX);
    EXPECT_EQ(clampInt(-(1LL << 40)), INT_MIN);
}

TEST(FormatPicture, DecimalsWholeNumbersAndScientific) {
    struct Case {
        double x;
        const char* picture;
        const char* text;
    };
    const Case cases[] = {
        {2.675, "0.00", "2.68"}, {9.996, "0.00", "10.00"}, {-0.001, "0.00", "0.00"}, {-0.005, "0.00", "-0.01"},
        {-0.545, "0.00", "-0.55"}, {-2, "0.0", "-2.0"}, {-0.06, "0.0", "-0.1"},
        {1e20, "0.0", "100000000000000000000.0"}, {21799.5, "00000000", "00021800"}, {2.5, "00000000", "00000002"},
        {123456789012.0, "00000000", "123456789012"}, {0, "00000000", "00000000"}, {5, "0.##", "5"},
        {1.0 / 3, "0.##", "0.33"}, {0.996, "0.##", "1"}, {-0.001, "0.##", "0"}, {4.5692e14, "0.00E+0", "4.57E+14"},
        {0.00654, "0.00E+0", "6.54E-3"}, {0, "0.00E+0", "0.00E+0"}, {-654.378, "0.00E+0", "-6.54E+2"},
        {9.996, "0.00E+0", "1.00E+1"}, {0.25, "#,##0", "0.25"}, {NAN, "0.00", "NaN"}};
    for (const auto& c : cases) EXPECT_EQ(formatPicture(c.x, c.picture), c.text) << c.x << " " << c.picture;
}

TEST(Strings, CaseTrimPathsSplitAndReplaceAll) {
    EXPECT_EQ(lower("AbC-Ä"), "abc-Ä");
    EXPECT_EQ(upper("xY1"), "XY1");
    EXPECT_EQ(trim(" \t a b \t "), "a b");
    EXPECT_EQ(trim(" \t "), "");
    EXPECT_EQ(fileNameOf(" /home/Ann/Vantrel/files/2_1_0.HTM "), "2_1_0.htm");
    EXPECT_EQ(lastIndexOf("a/b/c", '/'), 4u);
    EXPECT_EQ(lastIndexOf("abc", '/'), 0u);
    EXPECT_EQ(dirOf("/home/Ann/file.csv"), "/home/Ann");
    EXPECT_EQ(dirOf("file.csv"), "");

    std::string t = " 2_1 _0_xy.htm";
    for (const char* piece : {"2", "1", "0", "xy.htm"}) EXPECT_EQ(splitFirst(t, "_"), piece);
    EXPECT_EQ(t, "");
    t = "-2.18E-18";
    EXPECT_EQ(splitFirst(t, "E"), "-2.18");
    EXPECT_EQ(t, "-18");
    t = "abc";
    EXPECT_EQ(splitFirst(t, ""), "abc");  // an empty delimiter never loops
    EXPECT_EQ(t, "");

    // A stand-in character already in the text is left alone.
    EXPECT_EQ(replaced("\x1f" "a", "a", "ab"), "\x1f" "ab");

    // replaced() restarts from the start after each change: against the
    // plain loop on small random texts (rules whose text grows past a bound
    // are left out: some never end).
    auto naive = [](std::string t, const std::string& f, const std::string& r) -> std::optional<std::string> {
        for (std::size_t p; (p = t.find(f)) != std::string::npos;) {
            if (t.size() > 200) return std::nullopt;
            t.replace(p, f.size(), r);
        }
        return t;
    };
    std::mt19937 gen(3);
    auto word = [&](int most) {
        std::string w(gen() % (most + 1), 'a');
        for (char& c : w) c = "abc"[gen() % 3];
        return w;
    };
    for (int i = 0; i < 5000; ++i) {
        std::string t = word(12), f = word(3), r = word(4);
        if (f.empty()) continue;
        // A replacement that holds f is final: through a stand-in character.
        const bool twoPass = r.find(f) != std::string::npos;
        const std::optional<std::string> expected = twoPass ? naive(*naive(t, f, "\x1f"), "\x1f", r) : naive(t, f, r);
        if (expected) {
            ASSERT_EQ(replaced(t, f, r), *expected) << t << " " << f << "->" << r;
        }
    }

    // A rule that grows forever stops at a bounded size.
    EXPECT_LT(replaced(std::string(40, 'a') + "b", "ab", "bbaa").size(), std::size_t(1) << 29);
}

}  // namespace
}  // namespace vantrel
