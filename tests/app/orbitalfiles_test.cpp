// The window's side of reading a point file and writing its XYZ file.
#include "app/orbitalfiles.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/recordingcanvas.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using namespace test;

class OrbitalFilesTest : public CanvasState {
protected:
    void SetUp() override {
        CanvasState::SetUp();
        typeQuantum("1", "0", "0", "2");
    }
    void writeCsv(const std::string& bytes) const { writeFile(o.csvFile, bytes); }
};

TEST_F(OrbitalFilesTest, ReadingSetsTheRunTheLabelsAndTheNucleus) {
    writeCsv(csvHeader("3,2,0.75") + "0.2,0,0,1\r\n0,-0.2,0,1\r\n\r\n0.3,0.4,0,1\r\n");
    EXPECT_TRUE(readPointFile(s));
    EXPECT_EQ(std::tuple(s.run.nPoints, s.run.maxPsi2, f.pointCountLabel.caption, s.run.loadedFile),
              std::tuple(3, 0.75, "3", o.csvFile));
    EXPECT_EQ(s.radial.radialTheory.size(), s.radial.histogram.hits.size());

    // The nucleus comes from the file name, "(z_3)" or none.
    for (int z : {3, 1}) {
        o.currentZ = z;
        typeQuantum("1", "0", "0", "2");
        o.currentZ = 2;
        writeCsv(csvHeader("1,2,1") + "0.2,0,0,1\r\n");
        readPointFile(s);
        EXPECT_EQ(std::tuple(o.currentZ, f.pointCountLabel.caption, o.speciesName),
                  std::tuple(z, "1", z == 3 ? "the Li+2 Ion (Z=3)" : "the H Atom (Z=1)"));
    }
}

TEST_F(OrbitalFilesTest, WritingHoldsTheButtonsAndShowsAProblemOnce) {
    writeCsv(csvHeader("2,2,0.5") + "0.2,0,0,1\r\n0.2,0,0,1\r\n");
    EXPECT_TRUE(writeXyzFile(s));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(std::tuple(s.run.nPoints, s.run.maxPsi2, f.pointCountLabel.caption), std::tuple(2, 0.5, ""));
    EXPECT_EQ(std::tuple(f.calculateButton.enabled, f.loadButton.enabled), std::tuple(false, false));

    fs::remove(o.csvFile);
    EXPECT_FALSE(writeXyzFile(s));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(endsWith(dialogs.shown[0].text, "No such file or directory"));

    // A missing file changes nothing the reader keeps.
    s.run.loadedFile = "previous";
    f.pointCountLabel.caption = "before";
    readPointFile(s);
    EXPECT_EQ(s.run.loadedFile, "previous");
    EXPECT_EQ(f.pointCountLabel.caption, "before");
}

}  // namespace
}  // namespace vantrel
