// The files a headless sequence run writes beside its pages. Their contents
// are checked where each is written; here the run writes them all and its
// cloud picture shows 2p_z upright.
#include <QImage>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "app/gui/picturefiles.h"
#include "cloudview/cloudtest.h"
#include "support/testsupport.h"

namespace vantrel {
namespace {

using namespace test;

// 2p_z and 3d_z^2 of hydrogen with every file asked for, run once for all.
class SequenceExports : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir = new TempDir("exports");
        const std::string home = dir->file("main_vantrel");
        cache = home + "/files/";
        fs::create_directories(dir->file("work"));
        writeFile(dir->file("work/index.htm"), "help");  // keeps the help installer out
        writeFile(dir->file("seq.txt"), "maxpoints=20000 extent=0 nodes\nenclose=90 surface cube slice image\n"
                                        "2 1 0\n3 2 0\n");
        const std::string cmd = "cd '" + dir->file("work") + "' && env -i PATH=\"$PATH\" VANTREL_HOME='" + home +
                                "' VANTREL_SEED=3 HOME='" + dir->path() + "' QT_QPA_PLATFORM=offscreen timeout 120 '" +
                                programCopyExe() + "' '" + dir->file("seq.txt") + "' >'" + dir->file("out.txt") + "'";
        const int status = std::system(cmd.c_str());
        exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    static void TearDownTestSuite() { delete dir; }

    static QImage picture(const std::string& name) {
        return QImage(QString::fromStdString(cache + name)).convertToFormat(QImage::Format_RGB32);
    }

    static inline TempDir* dir = nullptr;
    static inline std::string cache;
    static inline int exitStatus = -1;
};

const char* const orbitals[] = {"2_1_0__n", "3_2_0__n"};

TEST_F(SequenceExports, EveryFileIsWrittenBesideItsPage) {
    EXPECT_EQ(exitStatus, 0) << readFile(dir->file("out.txt"));
    for (const std::string name : orbitals)
        for (const char* ending : {".htm", ".png", ".cube", ".glb", ".stl", ".surface.js", ".xy.png", ".yz.png", ".xz.png"})
            EXPECT_TRUE(fs::exists(cache + name + ending)) << name << ending;
}

TEST_F(SequenceExports, CloudPictureShowsTwoPzUpright) {
    const QImage img = picture("2_1_0__n.png");
    ASSERT_EQ(img.size(), QSize(cloudPictureSize, cloudPictureSize));
    const auto pixel = [&](int x, int y) { return img.pixel(x, y); };
    const Centroid blue = centroidOf(img.width(), img.height(), pixel, bluish);
    const Centroid red = centroidOf(img.width(), img.height(), pixel, reddish);
    ASSERT_GT(blue.count, 2000);
    ASSERT_GT(red.count, 2000);
    EXPECT_LT(blue.y, red.y - 100) << "the blue lobe above the red one";
}

}  // namespace
}  // namespace vantrel
