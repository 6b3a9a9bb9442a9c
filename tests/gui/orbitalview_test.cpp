// The window's 3-D view panel: its slices and the files its menu writes; the
// same files from a headless sequence run.
#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>

#include <sys/wait.h>

#include "app/gui/orbitalviewpanel.h"
#include "app/gui/picturefiles.h"
#include "cloudview/cloudtest.h"
#include "cloudview/gui/cloudviewwidget.h"
#include "guitest.h"

namespace vantrel::test {
namespace {

class OrbitalViewPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        orbital.setup(1, 2, 1, 0);
        view.setCube(cloudExtent, orbitalCloud(2, 1, 0).maxPsi2);
        view.addPoints(orbitalCloud(2, 1, 0).points);
        OrbitalViewActions actions;
        actions.subject = [this] { return ExportSubject{orbital, cloudExtent, "", view.view}; };
        actions.fileStem = [] { return std::string("2_1_0__n"); };
        actions.askPath = [this](const QString&, const QString& name, const QString&) { return folder + "/" + name; };
        actions.warn = [this](const std::string& text) { warnings.push_back(text); };
        panel = std::make_unique<OrbitalViewPanel>(view, actions);
        panel->resize(300, 320);
        panel->fillMenu(&menu);
    }
    void trigger(const char* caption) {
        QAction* item = menuItem(&menu, caption);
        ASSERT_NE(item, nullptr) << caption;
        item->trigger();
    }

    Orbital orbital;
    OrbitalView view;
    std::unique_ptr<OrbitalViewPanel> panel;
    QMenu menu;
    QTemporaryDir dir;
    QString folder = dir.path();
    std::vector<std::string> warnings;
};

TEST_F(OrbitalViewPanelTest, EveryFileOfTheMenuIsWritten) {
    for (const char* caption : {"Save Cube File...", "Save Surfaces as glTF...", "Save Surfaces as STL...",
                                "Save Surfaces as PLY...", "Save Surfaces as OBJ...", "Save Slice Pictures..."})
        trigger(caption);
    for (const char* name : {"2_1_0__n.cube", "2_1_0__n.glb", "2_1_0__n.stl", "2_1_0__n.ply", "2_1_0__n.obj",
                             "2_1_0__n.mtl", "2_1_0__n.xy.png", "2_1_0__n.yz.png", "2_1_0__n.xz.png"})
        EXPECT_TRUE(QFile::exists(folder + "/" + name)) << name;

    for (int factor : {1, 2}) {
        folder = dir.filePath(QString("x%1").arg(factor));
        QDir().mkpath(folder);
        trigger(factor == 1 ? "Save View Picture..." : "Save View Picture at Twice the Size...");
        EXPECT_EQ(QImage(folder + "/2_1_0__n.png").size(), panel->cloudView()->size() * factor);
    }
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    folder = dir.filePath("missing");
    trigger("Save Cube File...");
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_TRUE(contains(warnings[0], "Couldn't write " + folder.toStdString() + "/2_1_0__n.cube: ")) << warnings[0];
}

TEST_F(OrbitalViewPanelTest, SliceDialogShowsTheNodalPlaneWhite) {
    trigger("Slice in a Plane...");
    auto* dialog = panel->findChild<SliceDialog*>();
    ASSERT_NE(dialog, nullptr);
    SliceImage layout;
    layout.width = layout.height = slicePixels;
    const QRect area = sliceArea(layout);
    auto colouredPixels = [&] {
        const QImage img = dialog->picture().convertToFormat(QImage::Format_RGB32);
        long n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) n += img.pixel(x, y) != 0xffffffffu;
        return n;
    };
    EXPECT_EQ(colouredPixels(), 0) << "2p_z is 0 in the xy plane";
    dialog->planeBox()->setCurrentIndex(2);
    EXPECT_GT(colouredPixels(), 10000) << "and not in the xz plane";
}

// The real picture writer of a headless run (the in-process sequence tests
// record pictures instead): every file, and 2p_z upright.
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
