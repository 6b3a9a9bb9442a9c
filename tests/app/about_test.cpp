// The About boxes: version, licence, libraries, and no advice to fetch an applet.
#include <gtest/gtest.h>

#include "app/about.h"
#include "output/viewerfiles.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using namespace test;

class AboutTest : public FreshState {
protected:
    void TearDown() override {
        setSystemThreeDir(oldThree);
        FreshState::TearDown();
    }
    TempDir three{"three"};
    std::string oldThree = systemThreeDir();
};

TEST_F(AboutTest, NamesVersionLicenceAndTheLibrariesFound) {
    setSystemThreeDir(three.path());
    fs::create_directories(three.file("build"));
    for (const auto& [script, revision] : {std::pair{"var a;REVISION=\"123\",b;", "r123"},
                                           {"const REVISION = '99';", "r99"},
                                           {"REVISION=x; REVISION=\"12'", ""}}) {
        writeFile(three.file("build/three.min.js"), script);
        EXPECT_EQ(threeRevision(), revision) << script;
    }
    writeFile(three.file("build/three.min.js"), "REVISION=\"150\"");
    const std::string text = aboutText("Qt 6.9.1");
    for (const char* part : {"Vantrel " VANTREL_VERSION "\r\n", "Copyright (c) 2026 The Vantrel developers.",
                             "MIT licence", "  Qt 6.9.1 (the windows)\r\n", "  three.js r150 (the pages' 3-D view)"})
        EXPECT_TRUE(contains(text, part)) << part << " in " << text;

    fs::remove_all(three.file("build"));
    EXPECT_TRUE(contains(aboutText(""), "three.js (not found: apt-get install libjs-three)"));
    EXPECT_FALSE(contains(aboutText(""), "(the windows)"));
}

TEST_F(AboutTest, JmolAdviceIsForTheXyzFilesNotAnApplet) {
    const std::string text = aboutJmolText("/home/u/vantrel");
    EXPECT_TRUE(contains(text, "open the orbital's .xyz file from /home/u/vantrel/files in the Jmol program")) << text;
    EXPECT_FALSE(contains(text, "download")) << text;
}

}  // namespace
}  // namespace vantrel
