// The files a headless sequence run writes beside its pages. Their contents
// are checked where each is written; here the run writes them all and its
// cloud picture shows 2p_z upright.
#include <QImage>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

#include "app/gui/picturefiles.h"
#include "cloudview/cloudtest.h"
#include "support/testsupport.h"

namespace vantrel::test {
namespace {

TEST(SequenceExports, EveryFileIsWrittenAndTheCloudPictureShowsTwoPzUpright) {
    TempDir dir("exports");
    const std::string home = dir.file("main_vantrel"), cache = home + "/files/";
    fs::create_directories(dir.file("work"));
    writeFile(dir.file("work/index.htm"), "help");  // keeps the help installer out
    writeFile(dir.file("seq.txt"), "maxpoints=20000 extent=0 nodes\nenclose=90 surface cube slice image\n2 1 0\n3 2 0\n");
    const std::string cmd = "cd '" + dir.file("work") + "' && env -i PATH=\"$PATH\" VANTREL_HOME='" + home +
                            "' VANTREL_SEED=3 HOME='" + dir.path() + "' QT_QPA_PLATFORM=offscreen timeout 120 '" +
                            programCopyExe() + "' '" + dir.file("seq.txt") + "' >'" + dir.file("out.txt") + "'";
    const int status = std::system(cmd.c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0) << readFile(dir.file("out.txt"));
    for (const std::string name : {"2_1_0__n", "3_2_0__n"})
        for (const char* ending : {".htm", ".png", ".cube", ".glb", ".stl", ".surface.js", ".xy.png", ".yz.png", ".xz.png"})
            EXPECT_TRUE(fs::exists(cache + name + ending)) << name << ending;

    const QImage img = QImage(QString::fromStdString(cache + "2_1_0__n.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(img.size(), QSize(cloudPictureSize, cloudPictureSize));
    const auto pixel = [&](int x, int y) { return img.pixel(x, y); };
    const Centroid blue = centroidOf(img.width(), img.height(), pixel, bluish);
    const Centroid red = centroidOf(img.width(), img.height(), pixel, reddish);
    ASSERT_GT(blue.count, 2000);
    ASSERT_GT(red.count, 2000);
    EXPECT_LT(blue.y, red.y - 100) << "the blue lobe above the red one";
}

}  // namespace
}  // namespace vantrel::test
