// The 3-D view panel: alone, its slices and the files its menu writes, and
// the same files from a headless sequence run; in the main window, fed by
// runs, loads and the window's options.
#include <QComboBox>
#include <QDir>
#include <QMenuBar>
#include <QTemporaryDir>

#include <algorithm>

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

class WindowViewTest : public StartedWindowTest {
protected:
    void SetUp() override {
        StartedWindowTest::SetUp();
        view->resize(1280, 760);
        type(f.quantumText[0], "2");
        type(f.quantumText[1], "1");
        type(f.maxPointsText, "20000");
        clickButton(f.colourModeOptions[1]);  // Nodes: the sign colours
    }
    CloudViewWidget& cloud() { return *view->orbitalView()->cloudView(); }
    CloudRenderer& renderer() { return f.orbitalView.renderer; }
    // Centroid of one sign's pixels, the legend left out.
    Centroid lobe(const QImage& img, bool (*pick)(std::uint32_t)) {
        const QRectF legend = cloud().lastText().legend;
        const double r = cloud().devicePixelRatioF();
        return centroidOf(img.width(), img.height(), [&](int x, int y) {
            return legend.contains(x / r, y / r) ? 0xffffffffu : img.pixel(x, y);
        }, pick);
    }
};

TEST_F(WindowViewTest, CalculateShowsTwoPzUprightWhileItRuns) {
    // Looked at after every block of trials.
    int refreshes = 0;
    std::size_t seen = 0;
    const auto progress = s.samplingHooks.onProgress;
    s.samplingHooks.onProgress = [&](const RunProgress& p, long long target) {
        if (progress) progress(p, target);
        // A fast run may end before the panel's feed timer is due: give it
        // one period mid-run, so the check below never depends on timing.
        if (refreshes == 0 && p.points > 0) QTest::qWait(200);
        if (renderer().pointCount() > seen) {
            seen = renderer().pointCount();
            ++refreshes;
        }
    };
    type(f.maxPointsText, "640000");
    calculate();
    s.samplingHooks.onProgress = progress;
    EXPECT_EQ(renderer().pointCount(), 640000u);
    EXPECT_GE(refreshes, 1) << "points reached the view during the run, not only at its end";

    const QImage img = cloud().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const Centroid blue = lobe(img, bluish), red = lobe(img, reddish);
    ASSERT_GT(blue.count, 1000);
    ASSERT_GT(red.count, 1000);
    EXPECT_LT(blue.y, red.y - 40) << "the positive lobe above the negative one";
    ASSERT_EQ(cloud().lastText().labels.size(), 3u);
    EXPECT_LT(cloud().lastText().labels[2].center().y() * cloud().devicePixelRatioF(), blue.y) << "z above both";
}

TEST_F(WindowViewTest, OptionsShowBothWays) {
    clickButton(f.blackBackgroundCheck);
    clickButton(f.jmolBoundingBoxCheck);
    EXPECT_TRUE(f.orbitalView.view.blackBackground);
    EXPECT_FALSE(f.orbitalView.view.box);
    EXPECT_EQ(f.orbitalView.view.colouring, CloudColouring::sign);
    // The view's own menu changes the window's boxes too.
    f.orbitalView.view.blackBackground = false;
    f.orbitalView.view.colouring = CloudColouring::probability;
    emit cloud().stateChanged();
    EXPECT_FALSE(f.blackBackgroundCheck.checked);
    EXPECT_TRUE(f.colourModeOptions[0].checked);
}

TEST_F(WindowViewTest, TheMenuHasTheSurfacesSlicesAndFiles) {
    QAction* top = menuItem(view->menuBar(), "3-D View");
    ASSERT_NE(top, nullptr);
    QMenu* menu = top->menu();
    ASSERT_EQ(std::ranges::count_if(menu->actions(), [](const QAction* a) { return !a->isSeparator(); }), 12);
    menu->actions().front()->trigger();  // Show Surfaces
    EXPECT_EQ(renderer().surfaceCount(), 2u);
    EXPECT_TRUE(view->orbitalView()->surfaceLabel()->text().startsWith("Surfaces: 90 % inside |ψ| = "));
    f.orbitalView.setEnclosedPercent(5, s.wavefunction, s.orbital.extent);
    view->syncAll();
    EXPECT_TRUE(view->orbitalView()->surfaceLabel()->text().startsWith("Surfaces: 10 % inside")) << "10 to 99";
    type(f.quantumText[0], "3");
    EXPECT_EQ(renderer().surfaceCount(), 0u) << "another orbital has none yet";
    EXPECT_FALSE(menu->actions().front()->isChecked());
}

TEST_F(WindowViewTest, FitsTheScreenAndA1280By800One) {
    // Also run at scale factor 2, where the test screen has half the room.
    const QSize room = view->screen()->availableGeometry().size(), smallest = view->minimumSizeHint();
    EXPECT_LE(smallest.width(), room.width());
    EXPECT_LE(smallest.height(), room.height());
    const QSize wanted = view->sizeHint();
    EXPECT_LE(wanted.width(), 1280 - 8);
    EXPECT_LE(wanted.height(), 800 - 30) << "below a title bar";
    EXPECT_GE(view->orbitalView()->minimumSizeHint().width(), 160);
}

}  // namespace
}  // namespace vantrel::test
