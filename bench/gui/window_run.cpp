// Times a long 3d run started with Calculate in the real window against the
// same run with nothing on screen, and can save a picture of the window.
//
//   window_run [--points N]         medians of ten runs each, taking turns (320000 points):
//                                   the window with its 3-D view, without it, and headless
//   window_run --only view|window|headless   runs of one kind, for a profiler
//   window_run --screenshot FILE    the window after a 40000-point 3d run
//   window_run --screenshot FILE surfaces   the same with the 90 % surfaces
//
// Runs with VANTREL_HOME (or the usual main directory) as the cache.
#include <QApplication>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/gui/mainwindowview.h"
#include "app/gui/orbitalviewpanel.h"
#include "app/gui/radialplotwidget.h"
#include "app/mainwindow.h"
#include "app/platformhooks.h"
#include "app/session.h"
#include "app/samplingrun.h"
#include "app/radialview.h"

using namespace vantrel;

namespace {

void setup3d(MainWindowView& view, const char* points) {
    MainWindowState& f = view.session().window;
    f.quantumText[0].setText("3");
    f.quantumText[1].setText("2");
    f.quantumText[2].setText("0");
    f.autoscaleMenuItem.click();
    f.maxPointsText.setText(points);
    view.syncAll();
}

int screenshot(MainWindowView& view, const char* path, bool surfaces) {
    setup3d(view, "40000");
    view.session().window.calculateButton.click();
    if (surfaces) view.orbitalView()->showSurfaces(true);
    view.syncAll();  // the run's end: captions and buttons as the user sees them
    view.resize(view.sizeHint());
    QApplication::processEvents();
    return view.grab().save(QString::fromLocal8Bit(path)) ? 0 : 1;
}

enum Kind { withView, withoutView, headless, kinds };
const char* const kindNames[kinds] = {"window with the 3-D view", "window without it", "headless"};

// only: -1 every kind in turns, else that kind alone (for a profiler).
int measure(MainWindowView& view, int only, int points) {
    setup3d(view, std::to_string(points).c_str());
    Session& session = view.session();
    OrbitalView& orbitalView = session.window.orbitalView;
    const Hooks windowed = session.hooks;
    Hooks bare = windowed;  // nothing on screen: no refresh, no events, no plot surface, no view
    bare.refresh = nullptr;
    bare.processEvents = nullptr;

    std::vector<double> times[kinds][2];  // [kind][wall, cpu]
    auto timed = [&](int kind, const std::function<void()>& run) {
        std::filesystem::remove(session.orbital.csvFile);
        const auto wall = std::chrono::steady_clock::now();
        const std::clock_t cpu = std::clock();
        run();
        times[kind][1].push_back(double(std::clock() - cpu) / CLOCKS_PER_SEC);
        times[kind][0].push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count());
    };
    constexpr int rounds = 11;  // of each kind; the first warms up
    for (int round = 0; round < rounds * kinds; ++round) {
        // Each kind comes after each other one as often.
        const int kind = only >= 0 ? only : (round + round / kinds) % kinds;
        if (kind == headless) {
            session.hooks = bare;
            session.radialPlot.setCanvas(nullptr);
            orbitalView.shown = false;
            timed(kind, [&session] { startCalculation(session, false); });
            session.hooks = windowed;
            session.radialPlot.setCanvas(view.plot());
        } else {
            view.orbitalView()->setVisible(kind == withView);
            orbitalView.shown = kind == withView;
            QApplication::processEvents();
            timed(kind, [&session] { session.window.calculateButton.click(); });
        }
        orbitalView.shown = true;
        view.orbitalView()->show();
        // What the last run left to draw is drawn here, not in the next timed run.
        QApplication::processEvents();
    }
    double median[kinds][2];
    for (int k = 0; k < kinds; ++k)
        for (int c = 0; c < 2; ++c) {
            std::vector<double>& v = times[k][c];
            if (!v.empty()) v.erase(v.begin());
            std::sort(v.begin(), v.end());
            median[k][c] = v.empty() ? 0 : v[v.size() / 2];
        }
    const double base = median[headless][0] > 0 ? median[headless][0] : 1;
    std::printf("3d run of %d points, medians of %d runs each (wall-clock s, processor s, wall / headless):\n",
                session.run.nPoints, rounds - 1);
    for (int k = 0; k < kinds; ++k)
        std::printf("  %-26s %.3f  %.3f  %.3f\n", kindNames[k], median[k][0], median[k][1], median[k][0] / base);
    std::printf("the 3-D view costs %.1f %% of the headless time; the rest of the window %.1f %%\n",
                100 * (median[withView][0] - median[withoutView][0]) / base,
                100 * (median[withoutView][0] - median[headless][0]) / base);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!hasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // No questions: each run starts afresh, its point file removed first.
    ScriptedDialogs answers;
    Session session;
    session.dialogs = &answers;
    MainWindowView view(session);
    installReactions(session);
    view.installHooks();
    if (!loadWindow(session)) return 1;
    view.syncAll();
    view.show();
    QApplication::processEvents();
    int only = -1, points = 320000;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--only") == 0)
            only = std::strcmp(argv[i + 1], "view") == 0 ? withView : std::strcmp(argv[i + 1], "window") == 0 ? withoutView : headless;
        if (std::strcmp(argv[i], "--points") == 0) points = std::atoi(argv[i + 1]);
    }
    const int status = argc > 2 && std::strcmp(argv[1], "--screenshot") == 0
                           ? screenshot(view, argv[2], argc > 3 && std::strcmp(argv[3], "surfaces") == 0)
                           : measure(view, only, points);
    session.radialPlot.setCanvas(nullptr);
    return status;
}
