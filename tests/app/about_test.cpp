// The About boxes: version, licence, libraries, and no advice to fetch an applet.
#include <gtest/gtest.h>

#include "app/about.h"
#include "output/viewerfiles.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using namespace test;

TEST(About, NamesVersionLicenceAndTheLibrariesFound) {
    TempDir three{"three"};
    const std::string oldThree = systemThreeDir();
    setSystemThreeDir(three.path());
    fs::create_directories(three.file("build"));
    writeFile(three.file("build/three.min.js"), "REVISION=x; REVISION=\"12'");  // no revision in it
    EXPECT_EQ(threeRevision(), "");
    writeFile(three.file("build/three.min.js"), "REVISION=\"150\"");
    const std::string text = aboutText("Qt 6.9.1");
    for (const char* part : {"Vantrel " VANTREL_VERSION "\r\n", "Copyright (c) 2026 The Vantrel developers.",
                             "MIT licence", "  Qt 6.9.1 (the windows)\r\n", "  three.js r150 (the pages' 3-D view)"})
        EXPECT_TRUE(contains(text, part)) << part << " in " << text;
    fs::remove_all(three.file("build"));
    EXPECT_TRUE(contains(aboutText(""), "three.js (not found: apt-get install libjs-three)"));
    setSystemThreeDir(oldThree);

    const std::string jmol = aboutJmolText("/home/u/vantrel");
    EXPECT_TRUE(contains(jmol, "open the orbital's .xyz file from /home/u/vantrel/files in the Jmol program")) << jmol;
    EXPECT_FALSE(contains(jmol, "download")) << jmol;
}

}  // namespace
}  // namespace vantrel
