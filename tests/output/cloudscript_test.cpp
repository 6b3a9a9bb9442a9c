// The viewer's companion script and the files the pages load.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>

#include "output/cloudscript.h"
#include "output/viewerfiles.h"
#include "engine/textutil.h"
#include "support/scratch.h"

namespace vantrel {
namespace {

using namespace test;

// Decoding written independently of the writer.
std::vector<unsigned char> unbase64(const std::string& text) {
    static const std::string digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::vector<unsigned char> out;
    unsigned value = 0;
    int bits = 0;
    for (char c : text) {
        if (c == '=') break;
        const std::size_t at = digits.find(c);
        if (at == std::string::npos) throw std::runtime_error("not base64");
        value = value << 6 | unsigned(at);
        bits += 6;
        if (bits >= 8) out.push_back((value >> (bits -= 8)) & 255);
    }
    return out;
}

std::string field(const std::string& text, const std::string& name) {
    std::smatch m;
    if (!std::regex_search(text, m, std::regex("\n" + name + ": ([^\n]*?),?\n"))) return "<missing>";
    return m[1];
}

// The atoms as the viewer gets them from the quoted base64 field: positions
// (steps times the scale) and classes.
struct Atoms {
    std::vector<double> positions;
    std::vector<unsigned char> classes;
};
Atoms atomsOf(const std::string& text) {
    const std::string quoted = field(text, "atoms");
    const auto bytes = unbase64(quoted.size() >= 2 ? quoted.substr(1, quoted.size() - 2) : quoted);
    const double scale = std::stod(field(text, "scale"));
    Atoms out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto v = static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8);
        if (i / 2 % 4 == 3) out.classes.push_back(static_cast<unsigned char>(v));
        else out.positions.push_back(v * scale);
    }
    return out;
}

TEST(CloudScript, Base64AndStringsFollowTheStandards) {
    const std::pair<const char*, const char*> vectors[] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},
                                                           {"foo", "Zm9v"},  {"foob", "Zm9vYg=="},  {"fooba", "Zm9vYmE="},
                                                           {"foobar", "Zm9vYmFy"}};
    for (auto [plain, coded] : vectors)
        EXPECT_EQ(base64(reinterpret_cast<const std::uint8_t*>(plain), std::strlen(plain)), coded) << plain;
    EXPECT_EQ(javaScriptString("a \"b\" \\c\r\n</script>"), "\"a \\\"b\\\" \\\\c\\x0d\\x0a</script>\"");
}

// The XYZ conversion is the writer's one user: what it writes for real
// clouds (classes, positions, marks) is held byte for byte by the golden
// runs and drawn by the viewer in tests/viewer; these are the cases those
// runs never reach.
TEST(CloudScript, LargeCloudsKeepAnEvenShareAndAllMarks) {
    TempDir dir;
    CloudScriptWriter w(dir.file("big.xyz.js"), "big.xyz", "", {"", "O", "N"}, 10);
    w.add("O", 0, 0, 0);
    w.add("O", 0, 5, 0);
    for (int i = 0; i < 45; ++i) w.add(i % 2 ? "N" : "O", i + 1, 1, 1);
    ASSERT_TRUE(w.finish());
    EXPECT_EQ(w.total(), 47);
    const std::string text = readFile(dir.file("big.xyz.js"));
    EXPECT_EQ(field(text, "markers"), "2");
    // Every eighth of the 45: every fourth would be 12, more than 10.
    ASSERT_EQ(field(text, "count"), "8");
    const Atoms atoms = atomsOf(text);
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(atoms.positions[(2 + k) * 3], 1 + 8 * k, 0.01) << k;
    EXPECT_EQ(atoms.classes, (std::vector<unsigned char>(8, 1)));
}

// (A place it cannot write: the point file tests' companion case.)
TEST(CloudScript, NoAtoms) {
    TempDir dir;
    CloudScriptWriter empty(dir.file("e.xyz.js"), "e.xyz", "", {});
    ASSERT_TRUE(empty.finish());
    const std::string text = readFile(dir.file("e.xyz.js"));
    EXPECT_EQ(field(text, "atoms"), "\"\"");
    EXPECT_EQ(field(text, "count"), "0");
}

// The exact elements are checked in the pages that carry them.
TEST(ViewerFiles, ScriptElementsGoBeforeTheEndOfTheBodyAndNothingElseChanges) {
    const std::string lines = replaced(viewerScriptElements("\r\n"), "><", ">\r\n<");
    const std::string page = "<HTML><BODY BGCOLOR=WHITE>\r\n<embed src=a.xyz>\r\n</body>x</BODY>\r\n</HTML>";
    const std::string with = withViewerScripts(page, "\r\n");
    EXPECT_EQ(with, "<HTML><BODY BGCOLOR=WHITE>\r\n<embed src=a.xyz>\r\n</body>x\r\n" + lines + "\r\n</BODY>\r\n</HTML>");
    EXPECT_FALSE(contains(lines, "><"));  // one tag a line
    EXPECT_EQ(withViewerScripts("<p>\r\n</body>", "\r\n"), "<p>\r\n" + lines + "\r\n</body>");
    EXPECT_EQ(withViewerScripts("<applet></applet>", "\r\n"), "<applet></applet>\r\n" + lines);
}

class ViewerCopies : public ::testing::Test {
protected:
    void SetUp() override {
        for (const auto& d : {program, system + "/build", system + "/examples/js/controls", cache}) fs::create_directories(d);
        writeFile(program + "/vantrel-viewer.js", "viewer 1");
        writeFile(system + "/build/three.min.js", "three");
        writeFile(system + "/examples/js/controls/TrackballControls.js", "controls");
    }

    TempDir dir;
    std::string program = dir.file("program"), system = dir.file("three"), cache = dir.file("files");
};

// When a copy is mended: ReplacingFile.CopiesAreComparedByContentAndMended.
TEST_F(ViewerCopies, CopiedWithThreeJsBesideTheProgramWinningOverTheSystems) {
    EXPECT_TRUE(copyViewerFiles(cache, program, system).empty());  // what they hold: the golden runs
    EXPECT_EQ(readFile(cache + "/three.min.js"), "three");
    writeFile(program + "/three.min.js", "own three");
    copyViewerFiles(cache, program, system);
    EXPECT_EQ(readFile(cache + "/three.min.js"), "own three");
}

TEST_F(ViewerCopies, MissingThreeIsPassedOverAndAnUnwritableCacheIsReported) {
    fs::remove_all(system);
    EXPECT_TRUE(copyViewerFiles(cache, program, system).empty());
    EXPECT_FALSE(fs::exists(cache + "/three.min.js"));
    EXPECT_TRUE(fs::exists(cache + "/vantrel-viewer.js"));

    const auto problems = copyViewerFiles(dir.file("no/cache"), program, system);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(contains(problems[0], "(copying " + program + "/vantrel-viewer.js)")) << problems[0];
}

}  // namespace
}  // namespace vantrel
