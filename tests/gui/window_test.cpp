// The main window driven as a user drives it, with the real reactions and
// engine behind it; the whole program start with a sequence file.
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <functional>

#include "app/gui/gui.h"
#include "app/gui/radialplotwidget.h"
#include "engine/globals.h"
#include "guitest.h"

namespace vantrel::test {
namespace {

class WindowTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startwindow(true);
    }
    static int pointlines() {  // below the header line
        return std::max(0, int(splitlines(readfile(globals().orbital.csvfile)).size()) - 1);
    }
    // Clicks "&Calculate"; once `ready` holds during the run, does `act` (once).
    bool calculateuntil(const std::function<bool()>& ready, const std::function<void()>& act) {
        bool done = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!done && ready()) done = true, act();
        });
        poll.start(5);
        QTest::mouseClick(button(f.Command1), Qt::LeftButton);
        return done;
    }
    QString frametitle() { return qobject_cast<QGroupBox*>(widget(form().Frame1))->title(); }
};

TEST_F(WindowTest, EnterWalksFromNToCalculate) {
    QLineEdit* n = edit(f.txtNLM[0]);
    n->setFocus();
    ASSERT_TRUE(n->hasFocus());
    QTest::keyClick(n, Qt::Key_Return);
    EXPECT_TRUE(edit(f.txtNLM[1])->hasFocus() && edit(f.txtNLM[1])->selectedText() == edit(f.txtNLM[1])->text());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(edit(f.txtNLM[2])->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_TRUE(button(f.Command1)->hasFocus());
    EXPECT_EQ(n->text(), "1");  // Enter is swallowed, not typed

    // Enter in the extent box does nothing at all.
    QLineEdit* scal = edit(f.txtscal);
    scal->setFocus();
    const QString before = scal->text();
    QTest::keyClick(scal, Qt::Key_Return);
    EXPECT_TRUE(scal->hasFocus() && scal->text() == before);
}

TEST_F(WindowTest, MaxPointsSpinnerDoublesAndHalves) {
    clickspinner(f.HScroll2, 1);
    EXPECT_TRUE(edit(f.txtmax)->text() == "20000" && globals().orbital.maxpoints == 20000);
    for (int i = 0; i < 6; ++i) clickspinner(f.HScroll2, -1);
    // 312.5 is raised to the smallest quota at once.
    EXPECT_TRUE(f.HScroll2.value == -5 && edit(f.txtmax)->text() == "625");
    clickspinner(f.HScroll2, -1);  // already at the end of the range
    EXPECT_EQ(f.HScroll2.value, -5);

    // The n spinner writes n and refreshes the orbital.
    clickspinner(f.HScroll3[0], 1);
    EXPECT_TRUE(edit(f.txtNLM[0])->text() == "2" && globals().orbital.currentn == 2);
}

TEST_F(WindowTest, ExclusiveCheckBoxPairsRegionsAndPlaneLabel) {
    clickbutton(f.chkEnergy[1]);
    EXPECT_TRUE(button(f.chkEnergy[1])->isChecked());
    clickbutton(f.chkEnergy[0]);
    EXPECT_TRUE(button(f.chkEnergy[0])->isChecked() && !button(f.chkEnergy[1])->isChecked());
    clickbutton(f.chkEnergy[0]);  // both may be off
    EXPECT_FALSE(f.chkEnergy[0].checked || f.chkEnergy[1].checked);

    clickbutton(f.chkFull);
    clickbutton(f.chk4Panel);
    EXPECT_TRUE(button(f.chk4Panel)->isChecked() && !button(f.chkFull)->isChecked());
    clickbutton(f.chkFull);
    EXPECT_FALSE(button(f.chk4Panel)->isChecked() || f.chk4Panel.checked);

    // Unchecking "Use Jmol" hides its options, checking shows them again.
    clickbutton(f.chkJmol);
    EXPECT_TRUE(widget(f.Frame5)->isHidden());
    clickbutton(f.chkJmol);
    EXPECT_FALSE(widget(f.Frame5)->isHidden());

    clickbutton(f.optAll[4]);
    QLabel* plane = label(f.lblplane);
    EXPECT_TRUE(plane->text() == "restricted to the XZ plane" && !plane->isHidden());
    EXPECT_EQ(button(f.optAll[4])->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_NE(button(f.optAll[0])->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_EQ(globals().orbital.planename, "xz");
    clickbutton(f.optAll[4]);  // clicking the selected one keeps it selected
    EXPECT_TRUE(button(f.optAll[4])->isChecked());
    clickbutton(f.optAll[0]);
    EXPECT_TRUE(plane->isHidden() && globals().orbital.planename.empty());
}

TEST_F(WindowTest, OtherSpeciesCancelledKeepsZ) {
    view->actionfor(f.mnuH[1])->trigger();
    EXPECT_EQ(frametitle(), "Calculation Options for the He+ Ion (Z=2)");
    dialogs.inputs = {std::nullopt, "7.8"};
    view->actionfor(f.mnuH[4])->trigger();
    EXPECT_TRUE(dialogs.saw("Enter a new value for the nuclear charge, Z:"));
    EXPECT_TRUE(view->actionfor(f.mnuH[4])->isChecked() && !view->actionfor(f.mnuH[1])->isChecked());
    EXPECT_EQ(globals().orbital.currentz, 2);
    EXPECT_EQ(frametitle(), "Calculation Options for the He+ Ion (Z=2)");
    view->actionfor(f.mnuH[4])->trigger();
    EXPECT_EQ(globals().orbital.currentz, 7);
    EXPECT_EQ(frametitle(), "Calculation Options for Z=7");
}

TEST_F(WindowTest, InvalidNumbersDisableCalculate) {
    for (int i : {0, 1, 2}) type(f.txtNLM[i], i == 2 ? "0" : "3");
    EXPECT_FALSE(button(f.Command1)->isEnabled() || label(f.lblerror)->isHidden() || label(f.lblenergy[0])->isEnabled());
    EXPECT_EQ(label(f.lblerror)->text(), "The quantum numbers you have chosen are invalid.");
    type(f.txtNLM[1], "2");
    type(f.txtNLM[2], "-2");
    EXPECT_TRUE(button(f.Command1)->isEnabled() && label(f.lblerror)->isHidden());
}

TEST_F(WindowTest, ShortRunThenLoad) {
    type(f.txtmax, "625");
    QTest::mouseClick(button(f.Command1), Qt::LeftButton);
    EXPECT_TRUE(globals().run.npoints == 625 && pointlines() == 625 && label(f.lblCount)->text() == "625");
    EXPECT_EQ(button(f.Command1)->text(), "&Calculate");
    EXPECT_TRUE(button(f.Command2)->isEnabled() && widget(f.Frame1)->isEnabled() && !view->plot()->lines().empty());
    EXPECT_TRUE(label(f.Label8)->text().startsWith("Most probable radius: "));

    // The theory curve replaces the hits; "&Load" brings them back.
    clickbutton(f.optTheory[1]);
    EXPECT_TRUE(f.optTheory[1].checked);
    QTest::mouseClick(button(f.Command2), Qt::LeftButton);
    EXPECT_TRUE(button(f.optTheory[0])->isChecked() && globals().run.npoints == 625 && label(f.lblCount)->text() == "625");
    EXPECT_TRUE(!view->plot()->lines().empty() && label(f.Label8)->text().contains("(actual)"));
}

TEST_F(WindowTest, EnoughStopsARunAndOnlyItIsLive) {
    type(f.txtmax, "320000");
    // Once some points are in, look at the window and press "Enough!".
    EXPECT_TRUE(calculateuntil([] { return globals().run.npoints >= 200; }, [&] {
        QAbstractButton* calc = button(f.Command1);
        EXPECT_TRUE(calc->text() == "Enough!" && calc->isEnabled());
        EXPECT_FALSE(button(f.Command2)->isEnabled() || button(f.Command3)->isEnabled() || widget(f.Frame1)->isEnabled() ||
                     view->menufor(f.mnuType)->menuAction()->isEnabled() ||
                     view->menufor(f.mnuFile)->menuAction()->isEnabled() || label(f.lblCount)->text().isEmpty());
        QTest::mouseClick(calc, Qt::LeftButton);
    }));
    const int stopped = globals().run.npoints;
    EXPECT_TRUE(stopped >= 200 && stopped < 320000) << stopped;
    EXPECT_EQ(pointlines(), stopped);
    EXPECT_TRUE(button(f.Command1)->text() == "&Calculate" && button(f.Command2)->isEnabled());

    // Esc stops a run too: this one continues the saved points (Yes).
    dialogs.answers.push_back(Answer::Yes);
    EXPECT_TRUE(calculateuntil([&] { return globals().run.npoints >= stopped + 100; }, [&] {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : view.get(), Qt::Key_Escape);
    }));
    EXPECT_TRUE(globals().run.npoints > stopped && globals().run.npoints < 320000);
    EXPECT_EQ(button(f.Command1)->text(), "&Calculate");
}

// The program started on a sequence file: the window stays open afterwards.
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
    EXPECT_TRUE(shown.first().startsWith("Reading input data from  ") && shown.last() == "2 orbitals were processed.");
    EXPECT_TRUE(sawwindowaftersequence);
    EXPECT_TRUE(fs::exists(home.file("files/1_0_0_.csv")) && fs::exists(home.file("files/2_1_0_xy.csv")));
}

// Closing the window in the middle of a sequence ends the run at once and
// asks nothing more.
TEST_F(RunGuiTest, ClosingDuringSequenceEndsIt) {
    const int status = rungui("maxpoints=320000\r\n3 2 0\r\n4 3 0\r\n5 4 0\r\n", [](MainWindowView& view) {
        if (globals().run.npoints > 1000) view.close();
    });
    EXPECT_TRUE(status == 0 && shown.size() == 1);  // "Reading input data from ..."
    EXPECT_LT(globals().run.npoints, 320000);
    EXPECT_FALSE(fs::exists(home.file("files/4_3_0_.csv")));
}

}  // namespace
}  // namespace vantrel::test
