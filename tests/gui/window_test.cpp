// The main window driven as a user drives it, with the real reactions and
// engine behind it; the whole program start with a sequence file.
#include <QAccessible>
#include <QGroupBox>
#include <QMenu>
#include <QProgressBar>

#include <functional>
#include <tuple>

#include "app/gui/radialplotwidget.h"
#include "app/gui/statusprogress.h"
#include "guitest.h"

namespace vantrel::test {
namespace {

using std::tuple;

class WindowTest : public StartedWindowTest {
protected:
    int pointLines() { return std::max(0, int(splitLines(readFile(s.orbital.csvFile)).size()) - 1); }
    // Clicks "&Calculate"; once `ready` holds during the run, does `act` (once).
    bool calculateUntil(const std::function<bool()>& ready, const std::function<void()>& act) {
        bool done = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!done && ready()) done = true, act();
        });
        poll.start(5);
        calculate();
        return done;
    }
    void calculate() { QTest::mouseClick(button(f.calculateButton), Qt::LeftButton); }
    QString frameTitle() { return qobject_cast<QGroupBox*>(widget(f.calculationFrame))->title(); }
    QString text(const Control& c) { return edit(c) ? edit(c)->text() : label(c) ? label(c)->text() : button(c)->text(); }
    bool enabled(const Control& c) { return widget(c)->isEnabled(); }
};

TEST_F(WindowTest, EnterWalksFromNToCalculate) {
    QLineEdit *n = edit(f.quantumText[0]), *l = edit(f.quantumText[1]);
    n->setFocus();
    QTest::keyClick(n, Qt::Key_Return);
    EXPECT_TRUE(l->hasFocus());
    EXPECT_EQ(l->selectedText(), l->text());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_TRUE(button(f.calculateButton)->hasFocus());
    EXPECT_EQ(n->text(), "1");  // Enter is swallowed, not typed
}

TEST_F(WindowTest, MaxPointsSpinnerDoublesAndHalves) {
    clickSpinner(f.maxPointsSpinner, 1);
    EXPECT_EQ(tuple(text(f.maxPointsText), s.orbital.maxPoints), tuple("20000", 20000));
    // 312.5 is raised to the smallest quota at once; the last click is past the end of the range.
    for (int i = 0; i < 7; ++i) clickSpinner(f.maxPointsSpinner, -1);
    EXPECT_EQ(tuple(f.maxPointsSpinner.value, text(f.maxPointsText)), tuple(-5, "625"));
    clickSpinner(f.quantumSpinners[0], 1);
    EXPECT_EQ(tuple(text(f.quantumText[0]), s.orbital.currentN), tuple("2", 2));
}

TEST_F(WindowTest, ExclusiveCheckBoxPairsRegionsAndPlaneLabel) {
    // Either of a pair, or neither; the other of the pair unchecks.
    for (auto [a, b] : {std::pair{&f.energyChecks[1], &f.energyChecks[0]}, {&f.fullScreenCheck, &f.fourPanelCheck}}) {
        clickButton(*a);
        clickButton(*b);
        EXPECT_EQ(tuple(button(*a)->isChecked(), button(*b)->isChecked()), tuple(false, true)) << b->name;
        clickButton(*b);
        EXPECT_EQ(tuple(button(*b)->isChecked(), b->checked, a->checked), tuple(false, false, false)) << b->name;
    }
    clickButton(f.regionOptions[3]);
    clickButton(f.regionOptions[3]);  // clicking the selected one keeps it selected
    EXPECT_EQ(tuple(text(f.planeLabel), label(f.planeLabel)->isHidden(), s.orbital.planeName),
              tuple("restricted to the XZ plane", false, "xz"));
    EXPECT_EQ(button(f.regionOptions[3])->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    clickButton(f.regionOptions[0]);
    EXPECT_EQ(tuple(label(f.planeLabel)->isHidden(), s.orbital.planeName), tuple(true, ""));
}

TEST_F(WindowTest, OtherSpeciesCancelledKeepsZ) {
    view->actionFor(f.speciesMenuItems[1])->trigger();
    EXPECT_EQ(frameTitle(), "Calculation Options for the He+ Ion (Z=2)");
    dialogs.inputs = {std::nullopt, "7.8"};
    view->actionFor(f.speciesMenuItems[4])->trigger();
    EXPECT_TRUE(dialogs.saw("Enter a new value for the nuclear charge, Z:"));
    EXPECT_EQ(tuple(s.orbital.currentZ, frameTitle()), tuple(2, "Calculation Options for the He+ Ion (Z=2)"));
    view->actionFor(f.speciesMenuItems[4])->trigger();
    EXPECT_EQ(tuple(s.orbital.currentZ, frameTitle()), tuple(7, "Calculation Options for Z=7"));
}

// The extent box keeps what is typed; the value in use is written back when
// editing is finished (Enter, the focus leaving, Calculate).
TEST_F(WindowTest, ExtentBoxKeepsWhatIsTyped) {
    QLineEdit* scal = edit(f.extentText);
    scal->setFocus();
    scal->selectAll();
    QTest::keyClick(scal, Qt::Key_Backspace);
    EXPECT_EQ(scal->text(), "");
    for (auto [typed, used, shown] : {tuple{"25", 25.0, "25"}, {"-5", 5.0, "5"}, {"7.5", 7.0, "7"}, {"900", 500.0, "500"}}) {
        scal->selectAll();
        QTest::keyClicks(scal, typed);
        EXPECT_EQ(tuple(scal->text(), s.orbital.extent), tuple(typed, used)) << typed;
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
// what is typed replaces it; once it has the focus, a click places the cursor.
TEST_F(WindowTest, ClickIntoABoxSelectsItsText) {
    for (int i : {0, 1, 2}) {
        edit(f.maxPointsText)->setFocus();
        QLineEdit* box = edit(f.quantumText[i]);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 4, box->height() / 2));
        ASSERT_TRUE(box->hasFocus());
        QTest::keyClicks(box, i == 0 ? "3" : "0");
        EXPECT_EQ(box->text(), i == 0 ? "3" : "0") << i;
    }
    QLineEdit* n = edit(f.quantumText[0]);
    for (int click = 0; click < 2; ++click) QTest::mouseClick(n, Qt::LeftButton, {}, QPoint(n->width() - 4, n->height() / 2));
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
    auto sizes = [&] {
        return tuple(view->size(), view->plot()->size(), view->minimumSizeHint(), widget(f.displayFrame)->minimumSizeHint());
    };
    const auto before = sizes();
    auto unmoved = [&](const char* after) {
        QApplication::processEvents();
        for (std::size_t i = 0; i < at.size(); ++i) EXPECT_EQ(where(*aimed[i]), at[i]) << aimed[i]->name << " after " << after;
        EXPECT_EQ(sizes(), before) << "window, plot, smallest window, page options after " << after;
    };
    clickButton(f.useJmolCheck);
    ASSERT_FALSE(f.jmolFrame.visible);
    unmoved("unchecking Use Jmol");
    clickButton(f.useJmolCheck);
    clickButton(f.plotModeOptions[0]);
    unmoved("Actual Hits");
    type(f.maxPointsText, "625");
    calculate();
    ASSERT_EQ(s.run.nPoints, 625);
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
    EXPECT_EQ(tuple(enabled(f.calculateButton), label(f.errorLabel)->isHidden(), enabled(f.energyValueLabels[0])),
              tuple(false, false, false));
    EXPECT_EQ(text(f.errorLabel), "The quantum numbers you have chosen are invalid.");
    type(f.quantumText[1], "2");
    type(f.quantumText[2], "-2");
    EXPECT_EQ(tuple(enabled(f.calculateButton), label(f.errorLabel)->isHidden()), tuple(true, true));
}

TEST_F(WindowTest, ShortRunThenLoad) {
    type(f.maxPointsText, "625");
    calculate();
    EXPECT_EQ(tuple(s.run.nPoints, pointLines(), text(f.pointCountLabel)), tuple(625, 625, "625"));
    EXPECT_EQ(tuple(enabled(f.loadButton), enabled(f.calculationFrame), view->plot()->lines().empty()), tuple(true, true, false));
    // The theory curve replaces the hits; "&Load" brings them back.
    clickButton(f.plotModeOptions[1]);
    QTest::mouseClick(button(f.loadButton), Qt::LeftButton);
    EXPECT_EQ(tuple(button(f.plotModeOptions[0])->isChecked(), s.run.nPoints, text(f.pointCountLabel)), tuple(true, 625, "625"));
    EXPECT_FALSE(view->plot()->lines().empty());
    EXPECT_TRUE(text(f.probableRadiusLabel).contains("(actual)")) << text(f.probableRadiusLabel).toStdString();
}

// A run on a nodal plane: the axes stay, the labels say why, and there is
// nothing to load or display.
TEST_F(WindowTest, RunOnANodalPlaneKeepsTheAxes) {
    type(f.quantumText[0], "2");
    type(f.quantumText[1], "1");
    clickButton(f.regionOptions[1]);  // XY plane only: pz is zero there
    ASSERT_EQ(s.orbital.planeName, "xy");
    calculate();
    EXPECT_EQ(tuple(s.run.nPoints, text(f.pointCountLabel), label(f.nodeLabel)->isHidden()), tuple(0, "NODE!", false));
    EXPECT_EQ(tuple(enabled(f.loadButton), enabled(f.displayButton)), tuple(false, false));
    const RadialPlotWidget& plot = *view->plot();
    ASSERT_GT(plot.texts().size(), 2u);
    EXPECT_EQ(plot.texts().back().text, "A");
    EXPECT_GT(plot.lines().size(), 10u);  // ticks and the two axes
}

TEST_F(WindowTest, EnoughStopsARunAndOnlyItIsLive) {
    type(f.maxPointsText, "320000");
    // Once some points are in, look at the window and press "Enough!".
    EXPECT_TRUE(calculateUntil([this] { return s.run.nPoints >= 200; }, [&] {
        EXPECT_EQ(tuple(text(f.calculateButton), enabled(f.calculateButton)), tuple("Enough!", true));
        for (const Control* c : {&f.loadButton, &f.displayButton, &f.calculationFrame, &f.quickLabel})
            EXPECT_FALSE(enabled(*c)) << c->name;
        for (const Control* c : {&f.typeMenu, &f.fileMenu}) EXPECT_FALSE(view->menuFor(*c)->menuAction()->isEnabled()) << c->name;
        EXPECT_FALSE(text(f.pointCountLabel).isEmpty());
        calculate();
    }));
    const int stopped = s.run.nPoints;
    EXPECT_GE(stopped, 200);
    EXPECT_EQ(tuple(stopped < 320000, pointLines()), tuple(true, stopped));
    EXPECT_EQ(tuple(text(f.calculateButton), enabled(f.loadButton)), tuple("&Calculate", true));

    // Esc stops a run too: this one continues the saved points (Yes).
    dialogs.answers.push_back(Answer::Yes);
    EXPECT_TRUE(calculateUntil([&] { return s.run.nPoints >= stopped + 100; }, [&] {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : view.get(), Qt::Key_Escape);
    }));
    EXPECT_GT(s.run.nPoints, stopped);
    EXPECT_LT(s.run.nPoints, 320000);
}

// The status bar follows a run and goes away after it.
TEST_F(WindowTest, StatusBarMovesDuringARunAndHidesAfter) {
    auto* progress = new StatusProgress(*view);
    EXPECT_FALSE(progress->bar()->isVisible());
    type(f.maxPointsText, "320000");
    std::vector<int> values;
    QString said;
    EXPECT_TRUE(calculateUntil([&] {
        if (s.run.running && progress->bar()->isVisible())
            values.push_back(progress->bar()->value()), said = progress->label()->text();
        return s.run.nPoints >= 80000;
    }, [&] { calculate(); }));  // "Enough!"
    ASSERT_GE(values.size(), 2u);
    EXPECT_GT(values.back(), values.front());
    EXPECT_TRUE(said.contains(" of 320,000 points, ") || said.contains(" of 320000 points, ")) << said.toStdString();
    EXPECT_TRUE(said.contains(" trials, ")) << said.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !progress->bar()->isVisible(); }, 2000));
    EXPECT_FALSE(progress->label()->isVisible());
}

// The clickable "too small?" works from the keyboard as from the mouse.
TEST_F(WindowTest, SpaceOnTooSmallActsAsAClick) {
    type(f.extentText, "1");
    QLabel* tooSmall = label(f.tooSmallLabel);
    ASSERT_TRUE(tooSmall->isVisible());
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(tooSmall);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->text(QAccessible::Name), tooSmall->text());
    auto tabToIt = [&] {  // from the extent box
        edit(f.extentText)->setFocus();
        for (int i = 0; i < 60 && QApplication::focusWidget() != tooSmall; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget() == tooSmall;
    };
    ASSERT_TRUE(tabToIt());
    // The focus frame is drawn over the caption.
    const QImage focused = tooSmall->grab().toImage();
    edit(f.extentText)->setFocus();
    EXPECT_NE(focused, tooSmall->grab().toImage());
    ASSERT_TRUE(tabToIt());
    QTest::keyClick(tooSmall, Qt::Key_Space);
    EXPECT_NE(f.extentText.text, "1");  // rescaled, as a click does
    EXPECT_FALSE(f.tooSmallLabel.visible);
}

// The program started on a sequence file: the window stays open afterwards.
class RunGuiTest : public ProgramStartTest {
protected:
    int runGui(const std::string& sequence, const std::function<void(MainWindowView&)>& poll) {
        writeFile(work.file("seq.txt"), sequence);
        return runProgram({work.file("seq.txt")}, poll);
    }
};

TEST_F(RunGuiTest, SequenceRunKeepsTheWindowOpen) {
    QString titleAfterSequence;
    const int status = runGui("# two states\r\nmaxpoints=625\r\n1 0 0\r\n2 1 0 xy\r\n", [&](MainWindowView& view) {
        if (shown.isEmpty() || !shown.last().contains("orbitals were processed.")) return;
        titleAfterSequence = view.windowTitle();
        view.close();
    });
    EXPECT_EQ(status, 0);
    ASSERT_GE(shown.size(), 2);
    EXPECT_TRUE(shown.first().startsWith("Reading input data from  ")) << shown.first().toStdString();
    EXPECT_EQ(titleAfterSequence, "Vantrel version 1.3.1");
    for (const char* file : {"files/1_0_0_.csv", "files/2_1_0_xy.csv"}) EXPECT_TRUE(fs::exists(home.file(file))) << file;
}

// Closing the window in the middle of a sequence ends the run at once and
// asks nothing more.
TEST_F(RunGuiTest, ClosingDuringSequenceEndsIt) {
    const int status = runGui("maxpoints=320000\r\n3 2 0\r\n4 3 0\r\n5 4 0\r\n", [this](MainWindowView& view) {
        if (s.run.nPoints > 1000) view.close();
    });
    EXPECT_EQ(tuple(status, shown.size()), tuple(0, 1));  // "Reading input data from ..."
    EXPECT_LT(s.run.nPoints, 320000);
    EXPECT_FALSE(fs::exists(home.file("files/4_3_0_.csv")));
}

}  // namespace
}  // namespace vantrel::test
