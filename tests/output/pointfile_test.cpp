#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/textutil.h"
#include "output/pointfile.h"
#include "support/scratch.h"

namespace vantrel {
namespace {

using namespace test;

// A point file and its XYZ file in a scratch folder, converted as for the
// 1s orbital of hydrogen (axis 10 Angstroms, dots of size 2).
class PointFileTest : public ::testing::Test {
protected:
    PointFileTest() {
        options.csvFile = dir.file("1_0_0_.csv");
        options.xyzFile = dir.file("1_0_0_.xyz");
        options.baseName = "1_0_0_";
        options.speciesName = "the H Atom (Z=1)";
    }
    void writeCsv(const std::string& bytes) const { writeFile(options.csvFile, bytes); }
    std::vector<std::string> xyzLines() const { return splitLines(readFile(options.xyzFile)); }
    // "" or what went wrong.
    std::string convert() const { return convertPointFileToXyz(options).problem; }
    // Counts the point file into a histogram for its extent (2 when it
    // gives none) and the 10 Angstrom axis.
    PointFileCount count() const {
        return countPointFile(options.csvFile, [](const std::optional<PointFileHeader>& h) {
            return emptyHistogram(h && h->extent > 0 ? h->extent : 2, 10);
        });
    }
    TempDir dir;
    XyzOptions options;
};

// The one header codec: a count that is not a whole number is a damaged
// header, whoever reads it.
TEST(PointFileCodec, DamagedHeadersAndNumbersAsTheStandardReaderReadsThem) {
    struct Case {
        const char* line;
        bool valid;
    } cases[] = {{"40,6,0.5", true}, {"40 6 0.5   ", true}, {" 0 , 2 , 1E-3", true}, {"40.5,6,0.5", false},
                 {"-1,6,0.5", false}, {"3000000000,6,1", false}, {"40,6", false}, {"40,six,0.5", false},
                 {"40,6,0.5x", false}, {"40,NaN,0.5", false}, {"", false}};
    for (const auto& c : cases) EXPECT_EQ(parsePointHeader(c.line).has_value(), c.valid) << c.line;

    // Every number reads as the standard reader reads it: the written
    // texts of numbers of every size, and decimals with many digits. (The
    // texts written, and read back when a run continues: the golden runs.)
    std::mt19937_64 gen(7);
    std::vector<std::string> texts = {"0", "-0", "1.", ".5", "-.5", "007.25", "0.000000000000000000001",
                                      "1234567890123456789", "12345678901234567890", "9007199254740993",
                                      "0.30000000000000004441", "123456.78901234567", "1.5E-07"};
    for (int i = 0; i < 20000; ++i) {
        const double x = std::ldexp(static_cast<double>(gen() >> 11), -static_cast<int>(gen() % 120)) * (i % 2 ? 1 : -1);
        texts.push_back(numText(x));
        texts.push_back(std::to_string(gen() % 1000000) + "." + std::to_string(gen()).substr(0, 1 + i % 19));
    }
    CloudPoint p;
    for (const std::string& t : texts) {
        double expected = 0;
        std::from_chars(t.data() + (t[0] == '+'), t.data() + t.size(), expected);
        ASSERT_TRUE(parsePointLine(t + ",0,0," + t, p)) << t;
        ASSERT_EQ(p.x, expected) << t;
        ASSERT_EQ(p.psi, expected) << t;
        ASSERT_EQ(std::signbit(p.x), std::signbit(expected)) << t;
    }
}

// The marker lines and the point lines of real runs are in the golden XYZ
// files; the edges of the classes and of the first quadrant are not.
TEST_F(PointFileTest, MarkersAlonePointClassesAndFirstQuadrant) {
    writeCsv(csvHeader("0,2,0.5"));  // no points: the markers alone
    EXPECT_EQ(convert(), "");
    EXPECT_EQ(xyzLines().size(), 2u + 61u);

    // 25 units per Angstrom (100 / 2 * 5 / 10); y and z flip; psi^2 at the
    // ceiling is class 1 (O), psi = 0 class 15 (H), 3.61 of 4 class 2 (Be).
    writeCsv(csvHeader("4,2,4") + "0.1,0.2,-0.3,2\r\n1,1,1,0\r\n0.4,0,0,1\r\n-0.4,0,0,-1.9\r\n");
    const XyzResult result = convertPointFileToXyz(options);
    ASSERT_EQ(result.problem, "");
    ASSERT_TRUE(result.header);
    EXPECT_EQ(result.header->maxPsi2, 4);
    auto lines = xyzLines();
    EXPECT_EQ(lines[0], "65" + std::string(48, ' '));
    EXPECT_EQ(std::vector(lines.begin() + 63, lines.end()),
              (std::vector<std::string>{"O  2.5 -5 7.5", "H  25 -25 -25", "I  10 0 0", "Be -10 0 0"}));

    // By nodes psi = 0 is "O"; in the first quadrant only, strictly.
    options.byNodes = options.firstQuadrant = true;
    writeCsv(csvHeader("7,2,1") +
             "1,1,1,0\r\n1,1,1,0.5\r\n1,1,1,-0.5\r\n0,1,1,1\r\n1,0,1,1\r\n1,1,0,1\r\n-1,1,1,1\r\n");
    ASSERT_EQ(convert(), "");
    lines = xyzLines();
    EXPECT_EQ(lines[0], "64" + std::string(48, ' '));
    EXPECT_EQ(std::vector(lines.begin() + 63, lines.end()), (std::vector<std::string>{"O 25 -25 -25", "N 25 -25 -25", "O 25 -25 -25"}));
}

// A file of several read blocks gives the same XYZ file, companion and
// message on any number of threads: blank lines, the count ending the
// conversion inside a block, a bad line past the first block.
TEST_F(PointFileTest, AnyNumberOfThreadsWritesTheSameFiles) {
    std::string points;
    for (int i = 0; i < 120000; ++i) {
        points += numText((i % 97 - 48) * 0.0173) + "," + numText((i % 89 - 44) * 0.011) + "," +
                  numText(i % 5 ? (i % 83) * 0.021 : -0.5) + "," + numText((i % 7 - 3) * 0.31) + "\r\n";
        if (i % 10007 == 0) points += "  \r\n";
    }
    ASSERT_GT(points.size(), 2u << 20);  // several blocks of the reader
    const std::size_t cut = points.find('\n', 1500000) + 1;
    const std::string bad = points.substr(0, cut) + "0.1,x,0,1\r\n" + points.substr(cut);
    std::string problem;
    for (const auto& [bytes, firstQuadrant] : {std::pair{csvHeader("120000,2,1") + points, false},
                                                {csvHeader("100001,2,1") + points, true},
                                                {csvHeader("120000,2,1") + bad, false}}) {
        writeCsv(bytes);
        std::string xyz, script;
        for (unsigned threads : {1u, 2u, 4u}) {
            options.firstQuadrant = firstQuadrant;
            options.threads = threads;
            const std::string said = convert();
            if (threads == 1) {
                xyz = readFile(options.xyzFile), script = readFile(options.xyzFile + ".js"), problem = said;
                continue;
            }
            EXPECT_TRUE(readFile(options.xyzFile) == xyz) << threads << " threads";
            EXPECT_TRUE(readFile(options.xyzFile + ".js") == script) << threads << " threads";
            EXPECT_EQ(said, problem) << threads << " threads";
        }
    }
    EXPECT_TRUE(contains(problem, " of the point data file is not four numbers")) << problem;
}

TEST_F(PointFileTest, CountingFillsTheHistogramAndReadsLongNumbersWhole) {
    writeCsv(csvHeader("3,2,0.75") + "0.2,0,0,1\r\n0,-0.2,0,1\r\n\r\n0.3,0.4,0,1\r\n");
    PointFileCount counted = count();  // its count and ceiling: the app's reading tests
    EXPECT_EQ(counted.read.status, PointFileStatus::Complete);
    ASSERT_GT(counted.histogram.hits.size(), 25u);
    EXPECT_EQ(counted.histogram.hits[10], 2);
    EXPECT_EQ(counted.histogram.hits[25], 1);
    EXPECT_EQ(counted.histogram.maxHits, 2);
    EXPECT_EQ(counted.histogram.maxBin, 25);

    // 1 followed by 70 zeros and E-400 underflows to zero, never to the
    // 1E+62 its first 63 characters say.
    const std::string tiny = "1" + std::string(70, '0') + "E-400";
    writeCsv(csvHeader("2,2,1") + "0.2,0,0,1\r\n" + tiny + ",0.2,0," + tiny + "\r\n");
    counted = count();
    EXPECT_EQ(counted.read.points, 2);
    EXPECT_EQ(counted.histogram.hits[10], 2);
    EXPECT_EQ(counted.read.status, PointFileStatus::Complete);
    EXPECT_EQ(convert(), "");
    const std::string last = xyzLines().back();  // psi 0: the faintest class, x and z 0
    EXPECT_TRUE(startsWith(last, "H  0 -")) << last;
    EXPECT_TRUE(endsWith(last, " 0")) << last;
}

// The writer reports a broken point file (or companion) once and keeps the
// points before the fault; the reader says nothing and keeps what it counted.
TEST_F(PointFileTest, BadInputIsReportedAndLosesNothing) {
    const std::string csv = options.csvFile;
    const std::string message = "Couldn't create " + options.xyzFile + " from " + csv + "\r\n\r\n";
    const std::string good = "0.2,0,0,1\r\n";
    struct Case {
        const char* what;
        std::string bytes;
        int written, counted;  // points that reach the XYZ file, points the reader takes
        bool complete;         // the reader finds the file whole
    };
    const Case cases[] = {
        {"empty", "", 0, 0, false},
        {"garbage header", "abc\r\n" + good + good, 0, 2, false},
        {"short header", csvHeader("2,2") + good + good, 0, 2, false},
        {"truncated line", csvHeader("3,2,1") + good + good + "0.2,0", 2, 2, false},
        {"NaN", csvHeader("3,2,1") + good + "0.1,NaN,0,1\r\n" + good, 1, 1, false},
        {"overflowing number", csvHeader("3,2,1") + good + "0.1,0,0,1E+400\r\n" + good, 1, 1, false},
        {"outside the extent", csvHeader("3,2,1") + good + "2.5,0,0,1\r\n" + good, 1, 1, false},
        {"far outside", csvHeader("3,2,1") + good + "1e308,0,0,1\r\n" + good, 1, 1, false},
        {"count beyond the lines", csvHeader("2000000000,2,1") + good + good, 2, 2, true},
    };
    for (const auto& c : cases) {
        writeCsv(c.bytes);
        const std::string problem = convert();  // says why, after the names
        EXPECT_TRUE(startsWith(problem, message)) << c.what;
        EXPECT_GT(problem.size(), message.size()) << c.what;
        const auto lines = xyzLines();
        EXPECT_EQ(lines.size(), 2u + 61 + c.written) << c.what;
        EXPECT_EQ(lines[0], intText(61 + c.written) + std::string(48, ' ')) << c.what;

        const PointFileCount counted = count();
        EXPECT_EQ(counted.read.points, c.counted) << c.what;
        EXPECT_EQ(counted.read.status == PointFileStatus::Complete, c.complete) << c.what;
    }
    writeCsv(csvHeader("3,2,1") + good + "1000,0,0,1\r\n" + good);  // far outside the histogram
    EXPECT_EQ(count().read.points, 1);

    // Line feeds alone are fine.
    writeCsv("2,2,1\n0.2,0,0,1\n0.2,0,0,1\n");
    EXPECT_EQ(convert(), "");
    EXPECT_EQ(xyzLines().size(), 2u + 63u);
    EXPECT_EQ(count().read.points, 2);

    // A companion that cannot be written is said; the XYZ file is whole.
    fs::remove(options.xyzFile + ".js");
    fs::create_directory(options.xyzFile + ".js");  // a folder in its place
    const std::string problem = convert();
    EXPECT_TRUE(contains(problem, " writing the viewer's copy " + options.xyzFile + ".js")) << problem;
    EXPECT_EQ(xyzLines().size(), 2u + 63u);

    // A missing file: the writer says why, the reader opens nothing.
    fs::remove(csv);
    EXPECT_EQ(convert(), message + "No such file or directory");
    EXPECT_EQ(count().read.status, PointFileStatus::NotOpened);
}

}  // namespace
}  // namespace vantrel
