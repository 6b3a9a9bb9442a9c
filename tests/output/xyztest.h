// A point file and its XYZ file in a scratch folder, converted as for the
// 1s orbital of hydrogen (axis 10 Angstroms, dots of size 2).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/pointfile.h"
#include "support/scratch.h"

namespace vantrel::test {

class XyzTest : public ::testing::Test {
protected:
    XyzTest() {
        options.csvFile = dir.file("1_0_0_.csv");
        options.xyzFile = dir.file("1_0_0_.xyz");
        options.baseName = "1_0_0_";
        options.speciesName = "the H Atom (Z=1)";
    }
    void writeCsv(const std::string& bytes) const { writeFile(options.csvFile, bytes); }
    std::vector<std::string> xyzLines() const { return splitLines(readFile(options.xyzFile)); }
    // "" or what went wrong.
    std::string convert() const { return convertPointFileToXyz(options).problem; }
    TempDir dir;
    XyzOptions options;
};

}  // namespace vantrel::test
