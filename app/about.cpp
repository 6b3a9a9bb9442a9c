#include "app/about.h"

#include <cctype>

#include "app/appstate.h"
#include "output/fileutil.h"
#include "app/platformhooks.h"
#include "output/viewerfiles.h"

namespace vantrel {

const char* const aboutTitle = "About Vantrel";

namespace {

// The minified build says REVISION="111", the plain one REVISION = '111'.
std::string revisionIn(const std::string& script) {
    for (auto at = script.find("REVISION"); at != std::string::npos; at = script.find("REVISION", at + 1)) {
        auto i = at + 8;
        while (i < script.size() && (script[i] == ' ' || script[i] == '=')) ++i;
        if (i >= script.size() || (script[i] != '"' && script[i] != '\'')) continue;
        const auto digits = i + 1;
        auto end = digits;
        while (end < script.size() && std::isdigit(static_cast<unsigned char>(script[end]))) ++end;
        if (end > digits && end < script.size() && script[end] == script[i])
            return std::string(1, 'r').append(script, digits, end - digits);
    }
    return "";
}

}  // namespace

std::string threeRevision(const std::string& dataDir, const std::string& threeDir) {
    for (const ViewerFile& file : viewerFiles(dataDir, threeDir))
        if (file.name == "three.min.js")
            for (const std::string& source : file.sources)
                if (const std::string r = revisionIn(readWholeFile(source)); !r.empty()) return r;
    return "";
}

std::string aboutText(const std::string& toolkit, const std::string& three) {
    std::string text = "Vantrel " VANTREL_VERSION + crlf +
                       "A teaching tool for one-electron atoms: it samples hydrogen-like orbitals into clouds of "
                       "points, writes pages that show them in 3-D in your web browser, and draws their radial "
                       "probability, energy levels and the hydrogen emission spectrum." +
                       crlf + crlf + "Copyright (c) 2026 The Vantrel developers." + crlf +
                       "MIT licence: free to use, copy, change and pass on, with no warranty." + crlf + crlf +
                       "Made with:" + crlf;
    if (!toolkit.empty()) text += "  " + toolkit + " (the windows)" + crlf;
    text += "  three.js " + (three.empty() ? std::string("(not found: apt-get install libjs-three)") : three) +
            " (the pages' 3-D view)" + crlf + crlf +
            "Any comments or suggestions for program improvement are welcome." + crlf;
    return text;
}

std::string aboutJmolText(const std::string& mainDir) {
    return "Vantrel's pages show the cloud of points with three.js in any current web browser: drag to turn it, "
           "the wheel to zoom, a double click to reset. Browsers no longer run the Java applet Jmol or the Chime "
           "plug-in; the pages keep their markup only for programs that read it. "
           "To study a cloud in Jmol itself, open the orbital's .xyz file from " +
           mainDir + "/files in the Jmol program (Debian package jmol).";
}

}  // namespace vantrel
