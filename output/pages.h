// Orbital pages with the viewer embeds, and the cache index pages.
#pragma once

#include <string>

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
};

struct PagesWritten {
    std::string path;      // the page, "" when it could not be written
    std::string problems;  // files that could not be copied beside it, one a line
};

std::string createEmbed(bool jmol, const std::string& sName, const std::string& sFile, const std::string& script,
                        const std::string& sWidthHeight, const std::string& sColor, const std::string& srot);
// Writes the current orbital's page (or four-panel set), its summary and
// the index; returns the page's path. The XYZ file must exist.
PagesWritten writeOrbitalPages(const PageOptions& options);

void createHtmlIndex(bool jmol, const std::string& sHeader, const std::string& script, const std::string& sColor);

// Screen width in twips, for the viewer size (the window sets it).

}  // namespace vantrel
