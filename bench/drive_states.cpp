// Writes the point files of a few states through the engine, without a
// window, for looking at the clouds and timing whole runs.
//
//   drive_states DIR [POINTS]   (files go to DIR/files; default 10000 points)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/session.h"
#include "engine/orbital.h"
#include "app/platformhooks.h"
#include "app/samplingrun.h"
#include "app/orbitalcontrols.h"

int main(int argc, char** argv) {
    using namespace vantrel;
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [POINTS]\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const int points = argc > 2 ? std::atoi(argv[2]) : 10000;
    std::error_code ec;
    std::filesystem::create_directories(dir + "/files", ec);

    struct State {
        int n, l, m, region;  // region: regionOptions index (0 none, 1 xy, 2 yz, 3 xz)
    };
    const State states[] = {{1, 0, 0, 0}, {2, 1, 0, 0}, {2, 1, 1, 3}, {3, 2, 0, 0},
                            {3, 2, -2, 1}, {4, 3, 2, 0}, {6, 5, 0, 0}, {2, 1, 0, 1}};
    Session session;
    session.mainDir = dir;
    auto& f = session.window;
    for (const auto& s : states) {
        f.quantumText[0].setText(std::to_string(s.n));
        f.quantumText[1].setText(std::to_string(s.l));
        f.quantumText[2].setText(std::to_string(s.m));
        f.maxPointsText.setText(std::to_string(points));
        f.regionOptions[s.region].select();
        session.orbital.planeName = f.regionOptions[s.region].tag;
        updateOrbital(session, true);
        autoscale(session);
        session.run.continueRun = false;
        const auto start = std::chrono::steady_clock::now();
        startCalculation(session, true);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("%-28s %8d points %12lld trials %8.3f s %s\n", session.orbital.baseName.c_str(),
                    session.run.nPoints, session.run.trials, seconds, f.pointCountLabel.caption.c_str());
    }
    return 0;
}
