// Orbital pages with the viewer embeds, and the cache index pages.
#pragma once

#include <string>
#include <vector>

#include "engine/orbital.h"
#include "output/viewerfiles.h"

namespace vantrel {

// What the window's display options ask of a page.
struct PageOptions {
    bool jmol = true;  // the Jmol applet, else the Chime plug-in
    bool energyAttojoules = false;
    bool energyJoules = false;
    bool fourPanel = false;
    bool fullScreen = false;
    bool startRotation = false;
    bool blackBackground = false;
    bool boundingBox = true;  // Jmol only
    bool axes = true;         // Jmol only
    // Width of the screen the pages are made on; 10 000 twips or less gets
    // the small-screen viewer sizes.
    int screenWidthTwips = 1280 * 15;
    // Files the run writes beside the page, which the page then offers:
    // NAME.surface.js for the viewer, NAME.xy.png, .yz.png and .xz.png.
    bool surfaces = false;
    bool slices = false;
};

// The orbital a page shows and where its files go.
struct PageOrbital {
    OrbitalNumbers numbers;
    std::string speciesName;
    std::string planeName;   // "" for the whole cube
    std::string xyzFile;     // the page and its summary go beside it
    std::string panelRoot;   // first part of the four panels' file names
    std::string mainDir;     // whose files/ folder holds the index
    std::string dataDir;     // the program's frame template, applet and viewer
    std::string threeDir = defaultThreeDir;  // the system's three.js, when dataDir has none
};

std::string createEmbed(bool jmol, const std::string& sName, const std::string& sFile, const std::string& script,
                        const std::string& sWidthHeight, const std::string& sColor, const std::string& srot);
// Writes the orbital's page (or four-panel set), its summary and the index;
// returns the page's path ("" when the page itself could not be written).
// The XYZ file must exist. Each file that could not be written (it keeps
// its old content) adds a problem.
std::string writeOrbitalPages(const PageOrbital& orbital, const PageOptions& options,
                              std::vector<std::string>& problems);

// The index pages of mainDir's files/ folder; the viewer frame shows xyzFile.
void createHtmlIndex(const std::string& mainDir, const std::string& xyzFile, bool jmol, const std::string& sHeader, const std::string& script, const std::string& sColor,
                     std::vector<std::string>& problems);

}  // namespace vantrel
