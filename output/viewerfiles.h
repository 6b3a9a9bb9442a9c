// The browser side of the pages: the viewer script and three.js, found
// beside the program or in the system, copied into the cache, and the
// script elements that load them.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

// Script elements for a page with viewer markup, one a line; `closeTag` is
// what ends each element ("</script>", or "<\/script>" inside a JavaScript
// string).
std::string viewerScriptElements(const std::string& lineBreak, const std::string& closeTag = "</script>");
// The viewer's script alone, for index pages that only pass an orbital on
// to the frame that shows it.
std::string viewerOnlyScriptElement();
// The page with the viewer's script elements put before its last </body>
// (any case), or at its end when it has none, one tag a line. Nothing
// else changes.
std::string withViewerScripts(const std::string& page, const std::string& lineBreak);
// The page with `text` put before its last </body> (any case), on lines of
// its own, or at its end when it has none.
std::string beforeBodyEnd(const std::string& page, const std::string& text, const std::string& lineBreak);
// A style element that makes text and links light, for black pages.
std::string lightTextStyle();

struct ViewerFile {
    std::string name;                   // in the cache, beside the pages
    std::vector<std::string> sources;   // first existing one is used
};
// Where the system keeps three.js.
inline constexpr const char* defaultThreeDir = "/usr/share/javascript/three";
// The files the pages load, looked for beside the program first; the
// three.js in threeDir is the fallback.
std::vector<ViewerFile> viewerFiles(const std::string& programDir, const std::string& threeDir);

// Copies each file into the cache unless the copy there already holds the
// same bytes. A source found nowhere is skipped: the page then says what to
// install. Returns the problems met, each naming the file it was copying.
std::vector<std::string> copyViewerFiles(const std::string& cacheDir, const std::string& programDir,
                                         const std::string& threeDir);

}  // namespace vantrel
