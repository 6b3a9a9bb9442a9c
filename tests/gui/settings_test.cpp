// The window's options and place come back at the next interactive start.
#include <QFile>

#include "app/gui/settings.h"
#include "guitest.h"

namespace vantrel::test {
namespace {

class SettingsTest : public ProgramStartTest {
protected:
    // An interactive start on a session of its own: `use` runs once the
    // window is shown, then the window is closed.
    void start(const std::function<void(MainWindowView&)>& use) {
        Session started;
        bool used = false;
        EXPECT_EQ(runProgram({}, [&](MainWindowView& view) {
            if (!used) used = true, use(view), view.close();
        }, &started), 0);
        EXPECT_TRUE(used);
    }
};

// Then a file edited by hand: odd values are the first start's, the window on screen.
TEST_F(SettingsTest, OptionsAndPlaceComeBackUntilRestoredOddValuesFallBack) {
    EXPECT_EQ(settingsPath().toStdString(), configHome.path() + "/Vantrel/Vantrel.conf");
    WindowOptions first, chosen;
    QPoint place;
    start([&](MainWindowView& view) {
        Session& s = view.session();
        MainWindowState& f = s.window;
        first = WindowOptions::fromSession(s);
        // A user's choices, unlike the first start's in every kept option.
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
        chosen = WindowOptions::fromSession(s);
        place = view.pos();
    });
    ASSERT_TRUE(QFile::exists(settingsPath()));
    EXPECT_NE(chosen.extent, first.extent);
    start([&](MainWindowView& view) {
        EXPECT_TRUE(WindowOptions::fromSession(view.session()) == chosen);
        EXPECT_EQ(view.pos(), place);
        QAction* item = menuItem(view.menuFor(view.session().window.optionsMenu), "Restore Default Settings");
        ASSERT_NE(item, nullptr);
        item->trigger();
        EXPECT_TRUE(WindowOptions::fromSession(view.session()) == first);
        EXPECT_FALSE(QFile::exists(settingsPath()));
    });
    // Closing after it saves nothing: the next start is a first start.
    EXPECT_FALSE(QFile::exists(settingsPath()));

    writeFile(settingsPath().toStdString(), "[options]\nregion=9\nz=999\nextent=abc\nmaxPoints=\nblackBackgroundCheck=maybe\n"
                                            "[window]\ngeometry=@ByteArray(xyz)\n");
    start([&](MainWindowView& view) {
        const WindowOptions odd = WindowOptions::fromSession(view.session());
        EXPECT_EQ(tuple(odd.region, odd.z, odd.extent, odd.maxPoints), tuple(first.region, first.z, first.extent, first.maxPoints));
        EXPECT_TRUE(view.screen()->availableGeometry().contains(view.frameGeometry()));
    });
}

}  // namespace
}  // namespace vantrel::test
