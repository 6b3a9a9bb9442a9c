// The whole program start in the window: start-up, a sequence file from the
// command line, the window staying open afterwards, closing it.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>
#include <filesystem>

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
        olddir = std::filesystem::current_path();
        std::filesystem::current_path(work.path());
        setenv("VANTREL_HOME", home.path().c_str(), 1);
    }
    void TearDown() override {
        std::filesystem::current_path(olddir);
        unsetenv("VANTREL_HOME");
        QApplication::setQuitOnLastWindowClosed(true);
        FreshState::TearDown();
    }
    static MainWindowView* shownwindow() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* view = qobject_cast<MainWindowView*>(w); view && view->isVisible()) return view;
        return nullptr;
    }
    TempDir home, work;
    std::filesystem::path olddir;
};

TEST_F(RunGuiTest, SequenceRunKeepsTheWindowOpen) {
    writefile(work.file("seq.txt"), "# two states\r\nmaxpoints=625\r\n1 0 0\r\n2 1 0 xy\r\n");

    QStringList shown;
    bool sawwindowaftersequence = false;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown << box->text();
            box->button(box->standardButtons() & QMessageBox::Ok ? QMessageBox::Ok : QMessageBox::Yes)->click();
            return;
        }
        if (!shown.isEmpty() && shown.last().contains("orbitals were processed.")) {
            if (MainWindowView* view = shownwindow()) {
                sawwindowaftersequence = view->windowTitle() == "Vantrel version 1.3.1";
                view->close();
            }
        }
    });
    answer.start();
    const int status = rungui(*qApp, work.file("seq.txt"));
    answer.stop();

    EXPECT_EQ(status, 0);
    ASSERT_GE(shown.size(), 2);
    EXPECT_TRUE(shown.first().startsWith("Reading input data from  "));
    EXPECT_EQ(shown.last(), "2 orbitals were processed.");
    EXPECT_TRUE(sawwindowaftersequence);
    EXPECT_TRUE(std::filesystem::exists(home.file("files/1_0_0_.csv")));
    EXPECT_TRUE(std::filesystem::exists(home.file("files/2_1_0_xy.csv")));
}

// Closing the window in the middle of a sequence ends the run at once and
// asks nothing more.
TEST_F(RunGuiTest, ClosingDuringSequenceEndsIt) {
    writefile(work.file("seq.txt"), "maxpoints=320000\r\n3 2 0\r\n4 3 0\r\n5 4 0\r\n");
    int questions = 0;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++questions;
            box->button(QMessageBox::Ok)->click();  // "Reading input data from ..."
            return;
        }
        if (globals().run.npoints > 1000)
            if (MainWindowView* view = shownwindow()) view->close();
    });
    poll.start();
    const int status = rungui(*qApp, work.file("seq.txt"));
    poll.stop();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(questions, 1);
    EXPECT_LT(globals().run.npoints, 320000);
    EXPECT_FALSE(std::filesystem::exists(home.file("files/4_3_0_.csv")));
}

}  // namespace
}  // namespace vantrel::test
