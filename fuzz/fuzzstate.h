// A program state for the fuzz targets: a main directory of their own,
// scripted dialogs that take the default answers, quiet reports.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "app/maindir.h"
#include "app/mainwindow.h"
#include "app/orbitalcontrols.h"
#include "app/windowstate.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "engine/random.h"
#include "output/platform.h"

namespace vantrel::fuzz {

inline ScriptedDialogs& fuzzDialogs() {
    static ScriptedDialogs d;
    return d;
}

// Fresh window and globals, the H atom selected, in a main directory that
// lives as long as the fuzzer.
inline void freshState() {
    // Removed again when the fuzzer exits.
    struct Scratch {
        std::string dir = [] {
            std::string pattern = std::string(P_tmpdir) + "/fuzz-XXXXXX";
            mkdtemp(pattern.data());
            return pattern;
        }();
        ~Scratch() {
            std::error_code ec;
            std::filesystem::remove_all(dir, ec);
        }
    };
    static const Scratch scratch;
    static const std::string home = [] {
        setMainDir(scratch.dir + "/main_vantrel");
        return scratch.dir + "/main_vantrel";
    }();
    resetWindowState();
    resetGlobals();
    hooks() = Hooks{};
    fuzzDialogs().shown.clear();
    fuzzDialogs().answers.clear();
    setDialogs(&fuzzDialogs());
    rng().seed(1);
    installReactions();
    globals().mainDir = home;
    speciesMenu(0);
}

}  // namespace vantrel::fuzz
