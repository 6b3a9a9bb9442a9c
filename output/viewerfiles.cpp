#include "output/viewerfiles.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "output/replacingfile.h"

namespace vantrel {

namespace {

namespace fs = std::filesystem;

// The viewer comes first so that it can start loading the points while the
// browser is still busy with three.js; it draws once the page is parsed.
const char* const scriptNames[] = {"vantrel-viewer.js", "three.min.js", "TrackballControls.js"};

std::string lowerCopy(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

}  // namespace

std::string viewerScriptElements(const std::string& lineBreak, const std::string& closeTag) {
    std::string text;
    for (const char* name : scriptNames) {
        if (!text.empty()) text += lineBreak;
        text += std::string("<script src=") + name + " charset=utf-8>" + closeTag;
    }
    return text;
}

std::string viewerOnlyScriptElement() { return std::string("<script src=") + scriptNames[0] + " charset=utf-8></script>"; }

std::string withViewerScripts(const std::string& page, const std::string& lineBreak) {
    // One tag a line, as in the rest of the page.
    std::string scripts = viewerScriptElements(lineBreak);
    for (auto at = scripts.find("><"); at != std::string::npos; at = scripts.find("><", at))
        scripts.replace(at, 2, ">" + lineBreak + "<");
    return beforeBodyEnd(page, scripts, lineBreak);
}

std::string beforeBodyEnd(const std::string& page, const std::string& text, const std::string& lineBreak) {
    const auto at = lowerCopy(page).rfind("</body>");
    if (at == std::string::npos) return page + lineBreak + text;
    const std::string before = page.substr(0, at);
    const bool onNewLine = before.size() >= lineBreak.size() &&
                           before.compare(before.size() - lineBreak.size(), lineBreak.size(), lineBreak) == 0;
    return before + (onNewLine ? "" : lineBreak) + text + lineBreak + page.substr(at);
}

// Contrast on black: text 18:1, links 10:1 and 11:1, the red total 6:1.
std::string lightTextStyle() {
    return "<style>body{color:#f0f0f0}a:link{color:#8ab4ff}a:visited{color:#d7a6ff}"
           "font[color=red]{color:#ff6b6b}</style>";
}

std::vector<ViewerFile> viewerFiles(const std::string& programDir, const std::string& threeDir) {
    return {
        {"three.min.js", {programDir + "/three.min.js", threeDir + "/build/three.min.js"}},
        {"TrackballControls.js",
         {programDir + "/TrackballControls.js", threeDir + "/examples/js/controls/TrackballControls.js"}},
        {"vantrel-viewer.js", {programDir + "/vantrel-viewer.js"}},
    };
}

std::vector<std::string> copyViewerFiles(const std::string& cacheDir, const std::string& programDir,
                                         const std::string& threeDir) {
    std::vector<std::string> problems;
    for (const auto& file : viewerFiles(programDir, threeDir)) {
        auto source = std::find_if(file.sources.begin(), file.sources.end(),
                                   [](const std::string& s) { std::error_code e; return fs::is_regular_file(s, e); });
        if (source == file.sources.end()) continue;
        // By content, not by date: a copy cut short is mended whatever its age.
        if (auto problem = copyReplacing(*source, cacheDir + "/" + file.name); !problem.empty())
            problems.push_back(problem);
    }
    return problems;
}

}  // namespace vantrel
