// A program state for the fuzz targets: a main directory of their own,
// scripted dialogs that take the default answers, quiet reports.
#pragma once

#include <dirent.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "app/maindir.h"
#include "app/mainwindow.h"
#include "app/orbitalcontrols.h"
#include "app/platformhooks.h"
#include "app/session.h"
#include "output/viewerfiles.h"

namespace vantrel::fuzz {

inline ScriptedDialogs& fuzzDialogs() {
    static ScriptedDialogs d;
    return d;
}

// The fuzzer's own folder, removed again when it exits. In memory where
// the system has a tmpfs: creating and renaming a few files for every
// input costs a journalling disk more than the input itself.
inline const std::string& scratchDir() {
    struct Scratch {
        std::string dir = [] {
            std::error_code ec;
            const bool shm = std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0;
            std::string pattern = std::string(shm ? "/dev/shm" : P_tmpdir) + "/fuzz-XXXXXX";
            mkdtemp(pattern.data());
            return pattern;
        }();
        ~Scratch() {
            std::error_code ec;
            std::filesystem::remove_all(dir, ec);
        }
    };
    static const Scratch scratch;
    return scratch.dir;
}

// The files an earlier input left in the cache, removed without the
// program's own clearing (which would recompute the window once more).
inline void emptyCache(const std::string& home) {
    DIR* dir = ::opendir((home + "/files").c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir))
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
    ::closedir(dir);
}

// A fresh session of the input's own: the H atom selected, an empty cache,
// in a main directory that lives as long as the fuzzer.
inline void freshState(Session& s) {
    static const std::string home = [] {
        const std::string& dir = scratchDir();
        setenv("XDG_DATA_HOME", dir.c_str(), 1);
        Session setup;
        setMainDir(setup, dir + "/main_vantrel");
        return setup.mainDir;
    }();
    // No viewer files to be found: copying three.js for every input would
    // cost more than the input.
    s.programDir = scratchDir();
    s.threeDir = scratchDir() + "/no-three";
    fuzzDialogs().shown.clear();
    fuzzDialogs().answers.clear();
    s.dialogs = &fuzzDialogs();
    s.random.seed(1);
    installReactions(s);
    s.mainDir = home;
    emptyCache(home);
    speciesMenu(s, 0);
}

}  // namespace vantrel::fuzz
