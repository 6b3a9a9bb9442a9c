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
#include <tuple>

#include "app/gui/gui.h"
#include "app/gui/radialplotwidget.h"
#include "app/appstate.h"
#include "guitest.h"

namespace vantrel::test {
namespace {

class WindowTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        startWindow(true);
    }
    static int pointLines() {  // below the header line
        return std::max(0, int(splitLines(readFile(globals().orbital.csvFile)).size()) - 1);
    }
    // Clicks "&Calculate"; once `ready` holds during the run, does `act` (once).
    bool calculateUntil(const std::function<bool()>& ready, const std::function<void()>& act) {
        bool done = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!done && ready()) done = true, act();
        });
        poll.start(5);
        QTest::mouseClick(button(f.calculateButton), Qt::LeftButton);
        return done;
    }
    QString frameTitle() { return qobject_cast<QGroupBox*>(widget(mainWindow().calculationFrame))->title(); }
};

TEST_F(WindowTest, EnterWalksFromNToCalculate) {
    QLineEdit* n = edit(f.quantumText[0]);
    n->setFocus();
    QTest::keyClick(n, Qt::Key_Return);
    EXPECT_TRUE(edit(f.quantumText[1])->hasFocus() && edit(f.quantumText[1])->selectedText() == edit(f.quantumText[1])->text());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_TRUE(button(f.calculateButton)->hasFocus() && n->text() == "1");  // Enter is swallowed, not typed
}

TEST_F(WindowTest, MaxPointsSpinnerDoublesAndHalves) {
    clickSpinner(f.maxPointsSpinner, 1);
    EXPECT_TRUE(edit(f.maxPointsText)->text() == "20000" && globals().orbital.maxPoints == 20000);
    // 312.5 is raised to the smallest quota at once; the last click is past the end of the range.
    for (int i = 0; i < 7; ++i) clickSpinner(f.maxPointsSpinner, -1);
    EXPECT_TRUE(f.maxPointsSpinner.value == -5 && edit(f.maxPointsText)->text() == "625");
    clickSpinner(f.quantumSpinners[0], 1);
    EXPECT_TRUE(edit(f.quantumText[0])->text() == "2" && globals().orbital.currentN == 2);
}

TEST_F(WindowTest, ExclusiveCheckBoxPairsRegionsAndPlaneLabel) {
    // Either of a pair, or neither; the other of the pair unchecks.
    for (auto [a, b] : {std::pair{&f.energyChecks[1], &f.energyChecks[0]}, {&f.fullScreenCheck, &f.fourPanelCheck}}) {
        clickButton(*a);
        clickButton(*b);
        EXPECT_TRUE(button(*b)->isChecked() && !button(*a)->isChecked()) << b->name;
        clickButton(*b);
        EXPECT_FALSE(button(*b)->isChecked() || b->checked || a->checked) << b->name;
    }
    clickButton(f.regionOptions[3]);
    clickButton(f.regionOptions[3]);  // clicking the selected one keeps it selected
    QLabel* plane = label(f.planeLabel);
    EXPECT_TRUE(plane->text() == "restricted to the XZ plane" && !plane->isHidden() && globals().orbital.planeName == "xz");
    EXPECT_EQ(button(f.regionOptions[3])->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    clickButton(f.regionOptions[0]);
    EXPECT_TRUE(plane->isHidden() && globals().orbital.planeName.empty());
}

TEST_F(WindowTest, OtherSpeciesCancelledKeepsZ) {
    view->actionFor(f.speciesMenuItems[1])->trigger();
    EXPECT_EQ(frameTitle(), "Calculation Options for the He+ Ion (Z=2)");
    dialogs.inputs = {std::nullopt, "7.8"};
    view->actionFor(f.speciesMenuItems[4])->trigger();
    EXPECT_TRUE(dialogs.saw("Enter a new value for the nuclear charge, Z:"));
    EXPECT_TRUE(globals().orbital.currentZ == 2 && frameTitle() == "Calculation Options for the He+ Ion (Z=2)");
    view->actionFor(f.speciesMenuItems[4])->trigger();
    EXPECT_TRUE(globals().orbital.currentZ == 7 && frameTitle() == "Calculation Options for Z=7");
}

// The extent box keeps what is typed; the value in use is written back when
// editing is finished (Enter, the focus leaving, Calculate).
TEST_F(WindowTest, ExtentBoxKeepsWhatIsTyped) {
    QLineEdit* scal = edit(f.extentText);
    scal->setFocus();
    scal->selectAll();
    QTest::keyClick(scal, Qt::Key_Backspace);
    EXPECT_EQ(scal->text(), "");
    QTest::keyClicks(scal, "25");
    EXPECT_TRUE(scal->text() == "25" && globals().orbital.extent == 25);
    for (auto [typed, used, shown] : {std::tuple{"-5", 5.0, "5"}, {"7.5", 7.0, "7"}, {"900", 500.0, "500"}}) {
        scal->selectAll();
        QTest::keyClicks(scal, typed);
        EXPECT_TRUE(scal->text() == typed && globals().orbital.extent == used) << typed;
        QTest::keyClick(scal, Qt::Key_Return);
        EXPECT_EQ(scal->text(), shown) << typed;
    }
    // The focus leaving finishes the editing too.
    scal->selectAll();
    QTest::keyClicks(scal, "12abc");
    EXPECT_EQ(scal->text(), "12abc");
    edit(f.maxPointsText)->setFocus();
    EXPECT_EQ(scal->text(), "12");
}

// A click that gives a box the focus selects its text, as a Tab does, so
// what is typed replaces it.
TEST_F(WindowTest, ClickIntoABoxSelectsItsText) {
    for (int i : {0, 1, 2}) {
        edit(f.maxPointsText)->setFocus();
        QLineEdit* box = edit(f.quantumText[i]);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() / 2));
        ASSERT_TRUE(box->hasFocus());
        QTest::keyClicks(box, i == 0 ? "3" : "0");
        EXPECT_EQ(box->text(), i == 0 ? "3" : "0") << i;
    }
    // Once it has the focus, a click places the cursor.
    QLineEdit* n = edit(f.quantumText[0]);
    for (int click = 0; click < 2; ++click)
        QTest::mouseClick(n, Qt::LeftButton, {}, QPoint(n->width() - 4, n->height() / 2));
    QTest::keyClicks(n, "1");
    EXPECT_EQ(n->text(), "31");
}

// Labels that come and go, and the Jmol options, keep their space: nothing
// the user aims at moves, and the window keeps its size.
TEST_F(WindowTest, NothingMovesUnderThePointer) {
    auto where = [&](const Control& c) { return widget(c)->mapTo(view.get(), QPoint(0, 0)); };
    const Control* aimed[] = {&f.radialPlot, &f.calculateButton, &f.loadButton, &f.displayButton, &f.probableRadiusLabel};
    std::vector<QPoint> at;
    QApplication::processEvents();
    for (const Control* c : aimed) at.push_back(where(*c));
    // The smallest size too: where a column has no room to spare, a change
    // of it is what moves things.
    const QSize size = view->size(), plotSize = view->plot()->size(), smallest = view->minimumSizeHint();
    const QSize pageOptions = widget(f.displayFrame)->minimumSizeHint();
    auto unmoved = [&](const char* after) {
        QApplication::processEvents();
        for (std::size_t i = 0; i < at.size(); ++i) EXPECT_EQ(where(*aimed[i]), at[i]) << aimed[i]->name << " after " << after;
        EXPECT_EQ(view->size(), size) << after;
        EXPECT_EQ(view->plot()->size(), plotSize) << after;
        EXPECT_EQ(view->minimumSizeHint(), smallest) << after;
        EXPECT_EQ(widget(f.displayFrame)->minimumSizeHint(), pageOptions) << after;
    };
    clickButton(f.useJmolCheck);
    ASSERT_FALSE(f.jmolFrame.visible);
    unmoved("unchecking Use Jmol");
    clickButton(f.useJmolCheck);
    clickButton(f.plotModeOptions[0]);
    unmoved("Actual Hits");
    type(f.maxPointsText, "625");
    QTest::mouseClick(button(f.calculateButton), Qt::LeftButton);
    ASSERT_EQ(globals().run.nPoints, 625);
    unmoved("a run");
    clickButton(f.plotModeOptions[1]);
    unmoved("Theoretical Radial Probability");
    type(f.quantumText[1], "1");
    unmoved("invalid numbers");
    type(f.quantumText[0], "2");
    clickButton(f.regionOptions[1]);
    unmoved("a plane");
    type(f.extentText, "40");
    QTest::keyClick(edit(f.extentText), Qt::Key_Return);
    unmoved("extent advice");
}

TEST_F(WindowTest, InvalidNumbersDisableCalculate) {
    for (int i : {0, 1, 2}) type(f.quantumText[i], i == 2 ? "0" : "3");
    EXPECT_FALSE(button(f.calculateButton)->isEnabled() || label(f.errorLabel)->isHidden() || label(f.energyValueLabels[0])->isEnabled());
    EXPECT_EQ(label(f.errorLabel)->text(), "The quantum numbers you have chosen are invalid.");
    type(f.quantumText[1], "2");
    type(f.quantumText[2], "-2");
    EXPECT_TRUE(button(f.calculateButton)->isEnabled() && label(f.errorLabel)->isHidden());
}

TEST_F(WindowTest, ShortRunThenLoad) {
    type(f.maxPointsText, "625");
    QTest::mouseClick(button(f.calculateButton), Qt::LeftButton);
    EXPECT_TRUE(globals().run.nPoints == 625 && pointLines() == 625 && label(f.pointCountLabel)->text() == "625");
    EXPECT_TRUE(button(f.loadButton)->isEnabled() && widget(f.calculationFrame)->isEnabled() && !view->plot()->lines().empty());
    // The theory curve replaces the hits; "&Load" brings them back.
    clickButton(f.plotModeOptions[1]);
    QTest::mouseClick(button(f.loadButton), Qt::LeftButton);
    EXPECT_TRUE(button(f.plotModeOptions[0])->isChecked() && globals().run.nPoints == 625 && label(f.pointCountLabel)->text() == "625");
    EXPECT_TRUE(!view->plot()->lines().empty() && label(f.probableRadiusLabel)->text().contains("(actual)"));
}

// A run on a nodal plane: the axes stay, the labels say why, and there is
// nothing to load or display.
TEST_F(WindowTest, RunOnANodalPlaneKeepsTheAxes) {
    type(f.quantumText[0], "2");
    type(f.quantumText[1], "1");
    clickButton(f.regionOptions[1]);  // XY plane only: pz is zero there
    ASSERT_EQ(globals().orbital.planeName, "xy");
    QTest::mouseClick(button(f.calculateButton), Qt::LeftButton);
    EXPECT_TRUE(globals().run.nPoints == 0 && label(f.pointCountLabel)->text() == "NODE!" && !label(f.nodeLabel)->isHidden());
    EXPECT_FALSE(button(f.loadButton)->isEnabled() || button(f.displayButton)->isEnabled());
    const RadialPlotWidget& plot = *view->plot();
    EXPECT_TRUE(plot.texts().size() > 2 && plot.texts().back().text == "A");
    EXPECT_GT(plot.lines().size(), 10u);  // ticks and the two axes
}

TEST_F(WindowTest, EnoughStopsARunAndOnlyItIsLive) {
    type(f.maxPointsText, "320000");
    // Once some points are in, look at the window and press "Enough!".
    EXPECT_TRUE(calculateUntil([] { return globals().run.nPoints >= 200; }, [&] {
        QAbstractButton* calc = button(f.calculateButton);
        EXPECT_TRUE(calc->text() == "Enough!" && calc->isEnabled());
        EXPECT_FALSE(button(f.loadButton)->isEnabled() || button(f.displayButton)->isEnabled() || widget(f.calculationFrame)->isEnabled() ||
                     view->menuFor(f.typeMenu)->menuAction()->isEnabled() ||
                     view->menuFor(f.fileMenu)->menuAction()->isEnabled() || label(f.pointCountLabel)->text().isEmpty());
        QTest::mouseClick(calc, Qt::LeftButton);
    }));
    const int stopped = globals().run.nPoints;
    EXPECT_TRUE(stopped >= 200 && stopped < 320000 && pointLines() == stopped) << stopped;
    EXPECT_TRUE(button(f.calculateButton)->text() == "&Calculate" && button(f.loadButton)->isEnabled());

    // Esc stops a run too: this one continues the saved points (Yes).
    dialogs.answers.push_back(Answer::Yes);
    EXPECT_TRUE(calculateUntil([&] { return globals().run.nPoints >= stopped + 100; }, [&] {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : view.get(), Qt::Key_Escape);
    }));
    EXPECT_TRUE(globals().run.nPoints > stopped && globals().run.nPoints < 320000);
}

// The program started on a sequence file: the window stays open afterwards.
class RunGuiTest : public ProgramStartTest {
protected:
    // Runs the program on the sequence file. Every 5 ms a message box is
    // answered (OK, else Yes) and its text kept, or else `poll` runs with the
    // shown main window.
    int runGui(const std::string& sequence, const std::function<void(MainWindowView&)>& poll) {
        writeFile(work.file("seq.txt"), sequence);
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
        return vantrel::runGui(*qApp, {work.file("seq.txt")});
    }
    QStringList shown;
};

TEST_F(RunGuiTest, SequenceRunKeepsTheWindowOpen) {
    bool sawWindowAfterSequence = false;
    const int status = runGui("# two states\r\nmaxpoints=625\r\n1 0 0\r\n2 1 0 xy\r\n", [&](MainWindowView& view) {
        if (shown.isEmpty() || !shown.last().contains("orbitals were processed.")) return;
        sawWindowAfterSequence = view.windowTitle() == "Vantrel version 1.3.1";
        view.close();
    });
    ASSERT_TRUE(status == 0 && shown.size() >= 2);
    EXPECT_TRUE(shown.first().startsWith("Reading input data from  ") && sawWindowAfterSequence);
    EXPECT_TRUE(fs::exists(home.file("files/1_0_0_.csv")) && fs::exists(home.file("files/2_1_0_xy.csv")));
}

// Closing the window in the middle of a sequence ends the run at once and
// asks nothing more.
TEST_F(RunGuiTest, ClosingDuringSequenceEndsIt) {
    const int status = runGui("maxpoints=320000\r\n3 2 0\r\n4 3 0\r\n5 4 0\r\n", [](MainWindowView& view) {
        if (globals().run.nPoints > 1000) view.close();
    });
    EXPECT_TRUE(status == 0 && shown.size() == 1 && globals().run.nPoints < 320000);  // "Reading input data from ..."
    EXPECT_FALSE(fs::exists(home.file("files/4_3_0_.csv")));
}

}  // namespace
}  // namespace vantrel::test
