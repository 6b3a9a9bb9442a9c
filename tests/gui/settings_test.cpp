// The window's options and place come back at the next interactive start;
// the defaults item forgets them; headless runs never look at them.
#include <QAction>
#include <QFile>
#include <QMenu>

#include "app/gui/settings.h"
#include "app/headless.h"
#include "app/orbitalcontrols.h"
#include "guitest.h"

namespace vantrel::test {
namespace {

class SettingsTest : public ProgramStartTest {
protected:
    // One interactive start without arguments, a session of its own: `use`
    // runs once the window is shown, then the window is closed as a user would.
    void start(const std::function<void(MainWindowView&)>& use) {
        Session started;
        bool used = false;
        EXPECT_EQ(runProgram(started, {}, [&](MainWindowView& view) {
            if (!used) used = true, use(view), view.close();
        }), 0);
        EXPECT_TRUE(used);
    }

    // A user's choices, unlike the first start's in every kept option.
    void changeOptions(MainWindowView& view) {
        Session& s = view.session();
        MainWindowState& f = s.window;
        f.blackBackgroundCheck.click();
        f.useJmolCheck.click();
        f.energyChecks[1].click();
        f.regionOptions[2].click();
        f.colourModeOptions[1].click();
        setNucleus(s, 3);
        f.extentText.setText("25"), f.extentText.onEditingFinished();
        f.maxPointsText.setText("20000");
        f.quickMenuItem.checked = true;
        view.syncAll();
        view.move(40, 30);
    }
};

TEST_F(SettingsTest, OptionsAndPlaceComeBackUntilTheDefaultsAreRestored) {
    EXPECT_EQ(settingsPath().toStdString(), configHome.path() + "/Vantrel/Vantrel.conf");
    WindowOptions first, chosen;
    QPoint place;
    start([&](MainWindowView& view) {
        first = WindowOptions::fromSession(view.session());
        changeOptions(view);
        chosen = WindowOptions::fromSession(view.session());
        place = view.pos();
    });
    ASSERT_TRUE(QFile::exists(settingsPath()));
    EXPECT_NE(chosen.extent, first.extent);
    start([&](MainWindowView& view) {
        EXPECT_TRUE(WindowOptions::fromSession(view.session()) == chosen);
        EXPECT_EQ(view.pos(), place);
        QAction* item = nullptr;
        for (QAction* a : view.menuFor(view.session().window.optionsMenu)->actions())
            if (a->text() == "Restore Default Settings") item = a;
        ASSERT_NE(item, nullptr);
        item->trigger();
        EXPECT_TRUE(WindowOptions::fromSession(view.session()) == first);
        EXPECT_FALSE(QFile::exists(settingsPath()));
    });
    // Closing after it saves nothing: the next start is a first start.
    EXPECT_FALSE(QFile::exists(settingsPath()));
}

// Whatever the file holds, a sequence run without a display writes the
// same points and leaves the file as it was.
TEST_F(SettingsTest, HeadlessRunIgnoresSettings) {
    ScopedEnv seed{"VANTREL_SEED", "7"};
    writeFile(work.file("seq.txt"), "maxpoints=625\r\n2 1 0\r\n");
    auto run = [&] {
        Session headless;
        fs::remove_all(home.file("files"));
        EXPECT_EQ(runHeadless(headless, {work.file("seq.txt")}), 0);
        return readFile(home.file("files/2_1_0_.csv"));
    };
    const std::string plain = run();
    ASSERT_FALSE(plain.empty());
    const std::string odd = "[options]\nregion=9\ncolourMode=1\nz=3\nextent=abc\nmaxPoints=-5\nquick=true\n"
                            "blackBackgroundCheck=maybe\n[window]\ngeometry=@ByteArray(xyz)\n";
    fs::create_directories(configHome.file("Vantrel"));
    writeFile(settingsPath().toStdString(), odd);
    EXPECT_EQ(run(), plain);
    EXPECT_EQ(readFile(settingsPath().toStdString()), odd);
}

}  // namespace
}  // namespace vantrel::test
