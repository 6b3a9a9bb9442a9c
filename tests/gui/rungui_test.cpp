// The whole program start in the window: start-up, a sequence file from the
// command line, the window staying open afterwards, closing it.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <functional>

#include "app/gui/gui.h"
#include "app/gui/mainwindowview.h"
#include "engine/globals.h"
#include "support/testsupport.h"

namespace vantrel::test {
namespace {

class RunGuiTest : public FreshState {
protected:
    void SetUp() override {
        FreshState::SetUp();
        writefile(work.file("index.htm"), "<html></html>");  // no help-file unpacking
        fs::current_path(work.path());
    }
    void TearDown() override {
        fs::current_path(olddir);
        QApplication::setQuitOnLastWindowClosed(true);
        FreshState::TearDown();
    }
    // Runs the program on the sequence file. Every 5 ms a message box is
    // answered (OK, else Yes) and its text kept, or else `poll` runs with the
    // shown main window.
    int rungui(const std::string& sequence, const std::function<void(MainWindowView&)>& poll) {
        writefile(work.file("seq.txt"), sequence);
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown << box->text();
                box->button(box->standardButtons() & QMessageBox::Ok ? QMessageBox::Ok : QMessageBox::Yes)->click();
                return;
            }
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* view = qobject_cast<MainWindowView*>(w); view && view->isVisible()) poll(*view);
        });
        timer.start(5);
        return vantrel::rungui(*qApp, work.file("seq.txt"));
    }
    TempDir home, work;
    ScopedEnv vantrelhome{"VANTREL_HOME", home.path()};
    fs::path olddir = fs::current_path();
    QStringList shown;
};

TEST_F(RunGuiTest, SequenceRunKeepsTheWindowOpen) {
    bool sawwindowaftersequence = false;
    const int status = rungui("# two states\r\nmaxpoints=625\r\n1 0 0\r\n2 1 0 xy\r\n", [&](MainWindowView& view) {
        if (shown.isEmpty() || !shown.last().contains("orbitals were processed.")) return;
        sawwindowaftersequence = view.windowTitle() == "Vantrel version 1.3.1";
        view.close();
    });
    EXPECT_EQ(status, 0);
    ASSERT_GE(shown.size(), 2);
    EXPECT_TRUE(shown.first().startsWith("Reading input data from  "));
    EXPECT_EQ(shown.last(), "2 orbitals were processed.");
    EXPECT_TRUE(sawwindowaftersequence);
    EXPECT_TRUE(fs::exists(home.file("files/1_0_0_.csv")) && fs::exists(home.file("files/2_1_0_xy.csv")));
}

// Closing the window in the middle of a sequence ends the run at once and
// asks nothing more.
TEST_F(RunGuiTest, ClosingDuringSequenceEndsIt) {
    const int status = rungui("maxpoints=320000\r\n3 2 0\r\n4 3 0\r\n5 4 0\r\n", [](MainWindowView& view) {
        if (globals().run.npoints > 1000) view.close();
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(shown.size(), 1);  // "Reading input data from ..."
    EXPECT_LT(globals().run.npoints, 320000);
    EXPECT_FALSE(fs::exists(home.file("files/4_3_0_.csv")));
}

}  // namespace
}  // namespace vantrel::test
