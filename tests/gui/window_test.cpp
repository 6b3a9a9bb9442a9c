// The main window: the view's own mechanics without reactions (mirroring
// the state, feeding user actions back, the plot surface); driven as a user
// drives it, with the real reactions and engine behind it; point files
// opened by name; the whole program started on a sequence file, and its
// options and place kept between interactive starts.
#include <QFile>
#include <QProgressBar>

#include "app/gui/loadchooser.h"
#include "app/gui/radialplotwidget.h"
#include "app/gui/settings.h"
#include "app/gui/statusprogress.h"
#include "guitest.h"

namespace vantrel::test {
namespace {

class ViewTest : public StartedWindowTest {
protected:
    ViewTest() { reactions = false; }
};

QString qs(const std::string& s) { return QString::fromStdString(s); }

TEST_F(ViewTest, EveryControlMirroredCursorKeptFocusFollowed) {
    for (Control* c : f.all()) {
        QWidget* w = widget(*c);
        QAction* a = view->actionFor(*c);
        ASSERT_TRUE(w || a) << c->name;
        auto* b = qobject_cast<QAbstractButton*>(w);
        auto* e = qobject_cast<QLineEdit*>(w);
        // What the user reads there (no design caption has a line break).
        QString shown = qs(c->caption);
        if (a) shown = view->menuFor(*c) ? view->menuFor(*c)->title() : a->text();
        if (b) shown = b->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) shown = g->title();
        if (e) shown = e->text();
        if (auto* l = qobject_cast<QLabel*>(w)) shown = l->text();
        EXPECT_EQ(shown, qs(e ? c->text : c->caption)) << c->name;
        EXPECT_EQ(a ? a->isVisible() : !w->isHidden(), c->visible) << c->name;
        if (a || b) {
            EXPECT_EQ(a ? a->isChecked() : b->isChecked(), c->checked) << c->name;
        }
    }

    QLineEdit* n = edit(f.quantumText[0]);
    n->setText("123");
    n->setCursorPosition(1);
    f.quantumText[0].text = "123";
    s.hooks.refresh();
    QApplication::processEvents();
    EXPECT_EQ(n->cursorPosition(), 1);  // same text: the cursor stays

    bool focused = false;
    f.maxPointsText.onFocus = [&] { focused = true; };
    edit(f.maxPointsText)->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(focused);
    EXPECT_EQ(f.activeControl, &f.maxPointsText);
}

TEST_F(ViewTest, PlotRecordsAndCoalescesRepaints) {
    RadialPlotWidget* plot = view->plot();
    QApplication::processEvents();
    const int before = plot->paintCount();
    for (int i = 0; i < 2000; ++i) {
        plot->line(i / 4.0, 250, i / 4.0, 250 - i % 200, i % 2 ? 0xFF0000 : 0x0000FF);
        s.hooks.refresh();
    }
    plot->print(0, 275, "0", 0);
    QApplication::processEvents();
    EXPECT_EQ(plot->lines().size(), 2000u);
    EXPECT_EQ(plot->paintCount(), before + 1);
    plot->clear();

    plot->setScale(0, 100);
    for (int x = 40; x < 60; ++x) plot->line(x, 250, x, 50, 0xFF0000);  // blue
    EXPECT_EQ(plot->grab().toImage().pixelColor(plot->width() / 2, plot->height() / 2), QColor(0, 0, 255));
}

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
};

// A click that gives a box the focus selects its text, as a Tab does.
TEST_F(WindowTest, EnterWalksFromNToCalculateAndClicksSelectTheText) {
    QLineEdit *n = edit(f.quantumText[0]), *l = edit(f.quantumText[1]);
    n->setFocus();
    QTest::keyClick(n, Qt::Key_Return);
    EXPECT_TRUE(l->hasFocus());
    EXPECT_EQ(l->selectedText(), l->text());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
    EXPECT_TRUE(button(f.calculateButton)->hasFocus());
    EXPECT_EQ(n->text(), "1");  // Enter is swallowed, not typed

    QTest::mouseClick(n, Qt::LeftButton, {}, QPoint(n->width() - 4, n->height() / 2));
    ASSERT_TRUE(n->hasFocus());
    QTest::keyClicks(n, "3");
    EXPECT_EQ(n->text(), "3");
    for (int click = 0; click < 2; ++click) QTest::mouseClick(n, Qt::LeftButton, {}, QPoint(n->width() - 4, n->height() / 2));
    QTest::keyClicks(n, "1");
    EXPECT_EQ(n->text(), "31");
}

TEST_F(WindowTest, MaxPointsSpinnerDoublesAndHalves) {
    clickSpinner(f.maxPointsSpinner, 1);
    EXPECT_EQ(tuple(text(f.maxPointsText), s.orbital.maxPoints), tuple("20000", 20000));
    // 312.5 is raised to the smallest quota at once; the last click is past the end of the range.
    for (int i = 0; i < 7; ++i) clickSpinner(f.maxPointsSpinner, -1);
    EXPECT_EQ(tuple(f.maxPointsSpinner.value, text(f.maxPointsText)), tuple(-5, "625"));
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
    EXPECT_NE(button(f.regionOptions[3])->palette().color(QPalette::WindowText), QColor(0, 0, 255));
}

TEST_F(WindowTest, OtherSpeciesCancelledKeepsZ) {
    view->actionFor(f.speciesMenuItems[1])->trigger();
    dialogs.inputs = {std::nullopt, "7.8"};
    view->actionFor(f.speciesMenuItems[4])->trigger();
    EXPECT_TRUE(dialogs.saw("Enter a new value for the nuclear charge, Z:"));
    EXPECT_EQ(tuple(s.orbital.currentZ, frameTitle()), tuple(2, "Calculation Options for the He+ Ion (Z=2)"));
    view->actionFor(f.speciesMenuItems[4])->trigger();
    EXPECT_EQ(tuple(s.orbital.currentZ, frameTitle()), tuple(7, "Calculation Options for Z=7"));
}

// The value in use is written back when editing is finished, not while typing.
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
    scal->selectAll();
    QTest::keyClicks(scal, "12abc");
    EXPECT_EQ(scal->text(), "12abc");
    edit(f.maxPointsText)->setFocus();
    EXPECT_EQ(scal->text(), "12");
}

// What runs, loads and typing show; the labels that come and go, and the
// Jmol options, keep their space, so nothing the user aims at moves.
TEST_F(WindowTest, ChangesShowAndNothingMovesUnderThePointer) {
    auto where = [&](const Control& c) { return widget(c)->mapTo(view.get(), QPoint(0, 0)); };
    const Control* aimed[] = {&f.radialPlot, &f.calculateButton, &f.loadButton, &f.displayButton, &f.probableRadiusLabel};
    std::vector<QPoint> at;
    QApplication::processEvents();
    for (const Control* c : aimed) at.push_back(where(*c));
    // The smallest sizes too: where a column has no room to spare, they move things.
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
    calculate();  // its count shows after the load below, read from its file
    EXPECT_EQ(tuple(enabled(f.loadButton), enabled(f.calculationFrame), view->plot()->lines().empty()), tuple(true, true, false));
    unmoved("a run");
    clickButton(f.plotModeOptions[1]);
    unmoved("Theoretical Radial Probability");
    QTest::mouseClick(button(f.loadButton), Qt::LeftButton);
    EXPECT_EQ(tuple(button(f.plotModeOptions[0])->isChecked(), s.run.nPoints, text(f.pointCountLabel)), tuple(true, 625, "625"));
    EXPECT_TRUE(text(f.probableRadiusLabel).endsWith("(actual)")) << "no empty last line: " << text(f.probableRadiusLabel).toStdString();
    EXPECT_EQ(f.orbitalView.renderer.pointCount(), 625u) << "the 3-D view shows the file";
    unmoved("Load");

    type(f.quantumText[1], "1");
    unmoved("invalid numbers");
    type(f.quantumText[0], "2");
    EXPECT_TRUE(label(f.errorLabel)->isHidden()) << "valid again";
    EXPECT_EQ(f.orbitalView.renderer.pointCount(), 0u) << "2p is another orbital";
    clickButton(f.regionOptions[1]);
    unmoved("a plane");
    type(f.extentText, "40");
    QTest::keyClick(edit(f.extentText), Qt::Key_Return);
    unmoved("extent advice");

    calculate();  // 2p_z is zero in the XY plane: the axes stay, nothing to load
    EXPECT_EQ(tuple(s.run.nPoints, text(f.pointCountLabel), label(f.nodeLabel)->isHidden()), tuple(0, "NODE!", false));
    EXPECT_EQ(tuple(enabled(f.loadButton), enabled(f.displayButton)), tuple(false, false));
    ASSERT_GT(view->plot()->texts().size(), 2u);
    EXPECT_EQ(view->plot()->texts().back().text, "A");
    EXPECT_GT(view->plot()->lines().size(), 10u);
    unmoved("a run on a nodal plane");
}

// Only "Enough!" is live during a run, and the status bar follows it; Esc
// stops a run too.
TEST_F(WindowTest, EnoughOrEscStopsARun) {
    auto* progress = new StatusProgress(*view);
    type(f.maxPointsText, "320000");
    std::vector<int> values;
    QString said;
    EXPECT_TRUE(calculateUntil([&] {
        if (s.run.running && progress->bar()->isVisible())
            values.push_back(progress->bar()->value()), said = progress->label()->text();
        return s.run.nPoints >= 80000;
    }, [&] {
        EXPECT_EQ(tuple(text(f.calculateButton), enabled(f.calculateButton)), tuple("Enough!", true));
        for (const Control* c : {&f.loadButton, &f.displayButton, &f.calculationFrame, &f.quickLabel})
            EXPECT_FALSE(enabled(*c)) << c->name;
        for (const Control* c : {&f.typeMenu, &f.fileMenu}) EXPECT_FALSE(view->menuFor(*c)->menuAction()->isEnabled()) << c->name;
        calculate();
    }));
    const int stopped = s.run.nPoints;
    EXPECT_EQ(tuple(stopped < 320000, pointLines()), tuple(true, stopped));
    EXPECT_EQ(tuple(text(f.calculateButton), enabled(f.loadButton)), tuple("&Calculate", true));
    ASSERT_GE(values.size(), 2u);
    EXPECT_GT(values.back(), values.front());
    EXPECT_TRUE(said.contains(" of 320,000 points, ") || said.contains(" of 320000 points, ")) << said.toStdString();
    EXPECT_TRUE(said.contains(" trials, ")) << said.toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !progress->bar()->isVisible(); }, 2000));
    EXPECT_FALSE(progress->label()->isVisible());

    dialogs.answers.push_back(Answer::Yes);  // continues the saved points
    EXPECT_TRUE(calculateUntil([&] { return s.run.nPoints >= stopped + 100; }, [&] {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : view.get(), Qt::Key_Escape);
    }));
    EXPECT_GT(s.run.nPoints, stopped);
    EXPECT_LT(s.run.nPoints, 320000);
}

TEST(PointFileNameTest, NamesTheProgramForms) {
    using Parsed = tuple<int, int, int, int, std::string, bool>;  // n, l, m, Z, plane, quick
    for (const auto& [name, want] : {std::pair{"1_0_0_.csv", Parsed{1, 0, 0, 1, "", false}},
                                     {"2_1_-1_xy.csv", Parsed{2, 1, -1, 1, "xy", false}},
                                     {"3_2_0_(z_3).csv", Parsed{3, 2, 0, 3, "", false}},
                                     {"4_3_2_xz_(z_12)_quick.csv", Parsed{4, 3, 2, 12, "xz", true}},
                                     {"2_0_0_quick.csv", Parsed{2, 0, 0, 1, "", true}}}) {
        const auto p = parsePointFileName(name);
        ASSERT_TRUE(p) << name;
        EXPECT_EQ(Parsed(p->n, p->l, p->m, p->z, p->plane, p->quick), want) << name;
    }
    for (const char* bad : {"points.csv", "1_0_0_.xyz", "1_0_.csv", "1_0_0_ab.csv", "1_0_0_(z_0).csv", "1_0_0_(z_500).csv"})
        EXPECT_FALSE(parsePointFileName(bad)) << bad;
}

TEST_F(WindowTest, RecentPointFilesAndRefusals) {
    auto* chooser = new LoadChooser(*view);
    // A finished run of 2p in the XY plane, then back to 1s.
    setOrbital(s, 1, 2, 1, 0, false);
    f.regionOptions[1].select();
    type(f.maxPointsText, "625");
    calculate();
    const std::string file = s.orbital.csvFile;
    f.regionOptions[0].select();
    setOrbital(s, 1, 1, 0, 0, false);
    view->syncAll();
    ASSERT_EQ(recentPointFiles(s.mainDir), QStringList{QString::fromStdString(file)});
    emit view->menuFor(f.fileMenu)->aboutToShow();
    ASSERT_EQ(chooser->recentMenu()->actions().size(), 1);
    chooser->recentMenu()->actions().first()->trigger();
    EXPECT_EQ(tuple(f.quantumText[0].text, f.quantumText[1].text, f.regionOptions[1].checked, s.orbital.csvFile,
                    f.plotModeOptions[0].checked),
              tuple("2", "1", true, file, true));

    // Not named by the program, or outside the cache: a message, nothing loaded.
    writeFile(dir.file("other.csv"), "");
    EXPECT_FALSE(loadPointFile(s, dir.file("other.csv")));
    EXPECT_FALSE(loadPointFile(s, dir.file("1_0_0_.csv")));
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(s.orbital.csvFile, file);
}

using RunGuiTest = ProgramStartTest;

TEST_F(RunGuiTest, SequenceRunKeepsTheWindowOpen) {
    QString titleAfterSequence;
    const int status = runSequence("# two states\r\nmaxpoints=625\r\n1 0 0\r\n2 1 0 xy\r\n", [&](MainWindowView& view) {
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

TEST_F(RunGuiTest, ClosingDuringSequenceEndsIt) {
    const int status = runSequence("maxpoints=320000\r\n3 2 0\r\n4 3 0\r\n5 4 0\r\n", [this](MainWindowView& view) {
        if (s.run.nPoints > 1000) view.close();
    });
    EXPECT_EQ(tuple(status, shown.size()), tuple(0, 1));  // "Reading input data from ..."
    EXPECT_LT(s.run.nPoints, 320000);
    EXPECT_FALSE(fs::exists(home.file("files/4_3_0_.csv")));
}

using SettingsTest = ProgramStartTest;

TEST_F(SettingsTest, OptionsAndPlaceComeBackUntilRestoredOddValuesFallBack) {
    EXPECT_EQ(settingsPath().toStdString(), configHome.path() + "/Vantrel/Vantrel.conf");
    WindowOptions first, chosen;
    QPoint place;
    start([&](MainWindowView& view) {
        Session& s = view.session();
        MainWindowState& f = s.window;
        first = WindowOptions::fromSession(s);
        // A user's choices, unlike the first start's in every kept option.
        for (Control* c : {&f.blackBackgroundCheck, &f.useJmolCheck, &f.energyChecks[1], &f.regionOptions[2],
                           &f.colourModeOptions[1]})
            c->click();
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

    // A file edited by hand: odd values are the first start's, the window on screen.
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
