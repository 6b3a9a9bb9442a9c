// Everything the program's windows and runs share, in one object owned by
// whoever runs the program (the Qt program, the headless run, each test,
// fuzz input and benchmark) and handed to every function that needs it.
#pragma once

#include <string>

#include "app/appstate.h"
#include "app/mainwindow.h"
#include "app/platformhooks.h"
#include "app/radialview.h"
#include "app/samplingrun.h"
#include "app/sequence.h"
#include "app/windowstate.h"
#include "engine/random.h"
#include "engine/wavefunction.h"
#include "output/platform.h"
#include "output/viewerfiles.h"

namespace vantrel {

class PictureWriter;

struct Session {
    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    MainWindowState window;        // the main window's controls and flags
    OrbitalState orbital;          // the orbital and options the controls set
    Orbital wavefunction;          // its coefficient tables (setCoefficients)
    RunState run;                  // the run going, or the last one
    RadialState radial;            // the radial plot's histogram and theory curve
    std::string mainDir;           // holds the cache folder "files"
    Random random;                 // every run of the window draws from it
    WindowHooks windowHooks;       // calls from the reactions into the views
    SamplingHooks samplingHooks;   // calls from a run, and its thread count
    RadialPlotSurface radialPlot;  // where the radial plot draws, and what it shows
    PictureWriter* pictures = nullptr;  // none: every picture is reported as a failure
    SequenceOutcome sequenceOutcome = SequenceOutcome::NotRun;  // of the last runSequence

    ConsoleDialogs console;      // the dialogs without a view
    Dialogs* dialogs = &console;  // every message and input box goes here; never null
    Hooks hooks;                  // calls from the core into the windows
    std::string programDir = executableDir();  // tests and fuzzers put another in its place
    std::string threeDir = defaultThreeDir;     // where the system keeps three.js
};

}  // namespace vantrel
