// Times a long 3d run started with Calculate in the real window against the
// same run with nothing on screen, and can save a picture of the window.
//
//   window_run                      best of five, taking turns, 320000 points
//   window_run --screenshot FILE    the window after a 40000-point 3d run
//   window_run --screenshot FILE surfaces   the same with the 90 % surfaces
//
// Runs with VANTREL_HOME (or the usual main directory) as the cache.
#include <QApplication>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

#include "app/gui/mainwindowview.h"
#include "app/gui/orbitalviewpanel.h"
#include "app/gui/radialplotwidget.h"
#include "app/mainwindow.h"
#include "app/windowstate.h"
#include "engine/globals.h"
#include "output/platform.h"
#include "app/samplingrun.h"
#include "output/radialplot.h"

using namespace vantrel;

namespace {

void setup3d(MainWindowView& view, const char* points) {
    MainWindowState& f = mainWindow();
    f.quantumText[0].setText("3");
    f.quantumText[1].setText("2");
    f.quantumText[2].setText("0");
    f.autoscaleMenuItem.click();
    f.maxPointsText.setText(points);
    view.syncAll();
}

int screenshot(MainWindowView& view, const char* path, bool surfaces) {
    setup3d(view, "40000");
    mainWindow().calculateButton.click();
    if (surfaces) view.orbitalView()->showSurfaces(true);
    view.syncAll();  // the run's end: captions and buttons as the user sees them
    view.resize(view.sizeHint());
    QApplication::processEvents();
    return view.grab().save(QString::fromLocal8Bit(path)) ? 0 : 1;
}

int measure(MainWindowView& view) {
    setup3d(view, "320000");
    const Hooks windowed = hooks();
    Hooks bare = windowed;  // nothing on screen: no refresh, no events, no plot surface
    bare.refresh = nullptr;
    bare.processEvents = nullptr;

    double best[2][2] = {{1e9, 1e9}, {1e9, 1e9}};  // [window, headless][wall, cpu]
    auto timed = [&](int kind, const std::function<void()>& run) {
        std::filesystem::remove(globals().orbital.csvFile);
        const auto wall = std::chrono::steady_clock::now();
        const std::clock_t cpu = std::clock();
        run();
        best[kind][1] = std::min(best[kind][1], double(std::clock() - cpu) / CLOCKS_PER_SEC);
        best[kind][0] = std::min(
            best[kind][0], std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count());
    };
    for (int round = 0; round < 10; ++round) {
        if ((round + round / 2) % 2 == 0) {
            timed(0, [] { mainWindow().calculateButton.click(); });
        } else {
            hooks() = bare;
            setRadialPlotCanvas(nullptr);
            timed(1, [] { startCalculation(false); });
            hooks() = windowed;
            setRadialPlotCanvas(view.plot());
        }
        // What the last run left to draw (the 3-D view's cloud after a
        // headless run) is drawn here, not in the next timed run.
        QApplication::processEvents();
    }
    std::printf("3d run of %d points, best of 5: window %.3f s wall / %.3f s cpu, "
                "headless %.3f / %.3f, ratio %.3f / %.3f\n",
                globals().run.nPoints, best[0][0], best[0][1], best[1][0], best[1][1],
                best[0][0] / best[1][0], best[0][1] / best[1][1]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (!hasDisplay() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // No questions: each run starts afresh, its point file removed first.
    ScriptedDialogs answers;
    setDialogs(&answers);
    MainWindowView view;
    installReactions();
    view.installHooks();
    if (!loadWindow()) return 1;
    view.syncAll();
    view.show();
    QApplication::processEvents();
    const int status = argc > 2 && std::strcmp(argv[1], "--screenshot") == 0
                           ? screenshot(view, argv[2], argc > 3 && std::strcmp(argv[3], "surfaces") == 0)
                           : measure(view);
    setRadialPlotCanvas(nullptr);
    setDialogs(nullptr);
    return status;
}
