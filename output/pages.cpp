#include "output/pages.h"

#include <cerrno>
#include <cstring>

#include "engine/energy.h"
#include "engine/orbital.h"
#include "engine/textutil.h"
#include "output/fileutil.h"
#include "output/htmltext.h"
#include "output/replacingfile.h"
#include "output/viewerfiles.h"

namespace vantrel {

namespace {

// Where the browser fetches the Chime plug-in when it is missing.
const std::string chimePluginPage = "http://www.mdl.com/products/framework/chime/";


std::string namePart(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Swaps a file extension; a directory name that happens to hold the same
// letters is left alone.
std::string withExtension(const std::string& path, const std::string& from, const std::string& to) {
    if (path.size() >= from.size() && path.compare(path.size() - from.size(), from.size(), from) == 0)
        return path.substr(0, path.size() - from.size()) + to;
    return replaced(path, from, to);
}

// 1-based Mid() that never fails.
std::string mid(const std::string& s, std::size_t start, std::size_t length = std::string::npos) {
    if (start < 1 || start > s.size()) return "";
    return s.substr(start - 1, length);
}

std::string speciesLabel(const std::string& species) {
    if (species.find('+') == std::string::npos) return species;
    return species.substr(0, 6) + "<sup>" + mid(species, 7, 2) + "</sup>" + mid(species, 9);
}

void copyApplet(const std::string& cacheDir, const std::string& dataDir, std::vector<std::string>& problems) {
    const std::string target = cacheDir + "/JmolApplet.jar";
    const std::string source = dataDir + "/JmolApplet.jar";
    if (fileExists(target)) return;  // never overwritten
    if (!fileExists(source)) return; // no applet beside the program: nothing to copy
    if (auto problem = copyReplacing(source, target); !problem.empty()) problems.push_back(problem);
}

// The surfaces' companion, read by the viewer like the cloud's.
std::string surfaceScriptElement(const std::string& base) {
    return "<script src=" + hrefValue(base + ".surface.js") + " charset=utf-8></script>";
}

// The slices through the nucleus, each a link to its picture: thumbnails
// beside the viewer, or words where there is no room.
std::string sliceLinks(const std::string& base, bool thumbnails) {
    std::string text = thumbnails ? "Slices of &psi;" : "Slices of &psi;:";
    for (const char* plane : {"xy", "yz", "xz"}) {
        const std::string picture = hrefValue(base + "." + plane + ".png");
        const std::string caption = std::string("\"&psi; in the ") + plane + " plane\"";
        text += thumbnails ? "<br><a href=" + picture + " target=_blank><img src=" + picture + " width=120 alt=" +
                                 caption + " title=" + caption + "></a>"
                           : " <a href=" + picture + " target=_blank title=" + caption + ">" + plane + "</a>";
    }
    return text;
}

}  // namespace

std::string createEmbed(bool jmol, const std::string& sName, const std::string& sFile, const std::string& script,
                        const std::string& sWidthHeight, const std::string& sColor, const std::string& srot) {
    const std::string q = "\"";
    if (jmol) {
        return "<applet name=" + q + sName + q + " code=JmolApplet Archive = JmolApplet.jar " + sWidthHeight +
               " mayscript=true>" + "<param name=progressbar   value=true>" +
               "<param name=script value=" + q + "set color rasmol;background " + sColor + ";load " + sFile + ";" +
               script + q + ">" + "</applet>";
    }
    return "<embed pluginspage=" + chimePluginPage + " name=" + sName + " src=" + sFile + " script='" + script +
           "' " + sWidthHeight + " align=abscenter bgcolor=" + sColor + " options3d=specular color3d=cpk " + srot +
           " spiny=60 frank=no>";
}

std::string writeOrbitalPages(const PageOrbital& o, const PageOptions& opt, std::vector<std::string>& problems) {
    const bool jmol = opt.jmol;
    const bool energyJ = opt.energyJoules;
    const bool showEnergy = opt.energyAttojoules || energyJ;
    const bool four = opt.fourPanel;
    const bool full = opt.fullScreen;
    int w;
    if (opt.screenWidthTwips > 10000)
        w = four ? 156 : full ? 624 : 312;
    else
        w = four ? 125 : full ? 500 : 250;
    const std::string size = " width=" + intText(w) + " height=" + intText(w);
    const std::string rotation = opt.startRotation ? "startspin=true " : "";
    const std::string colour = opt.blackBackground ? "BLACK" : "WHITE";
    const std::string closing = "</BODY></HTML>";

    std::string tail = (o.planeName.empty() ? "" : " plane") + std::string(" for ") + speciesLabel(o.speciesName);
    replaceAll(tail, "Z=", "<i>Z</i> = ");

    const std::string header = "<HTML><BODY BGCOLOR=" + colour + ">";
    const std::string panelHead = "<center>" + header;
    const std::string title = "<center><h3><i>n</i>=" + intText(o.numbers.n) + " <i>l</i>=" + intText(o.numbers.l) +
                              " <i>m</i>=" + intText(o.numbers.m) + " " + o.planeName + tail + "</h3>";
    const std::string top = header + title + "</center>" + "Index: " +
                            " <a target=_top href=index.htm>by energy</a>" +
                            " <a target=_top href=names.htm>by name</a>" + "<center>";
    const std::string titlePage = top + closing;

    const std::string xyzName = namePart(o.xyzFile);
    const std::string base = withExtension(xyzName, ".xyz", "");
    auto withSurfaces = [&](const std::string& text) {
        return opt.surfaces ? beforeBodyEnd(text, surfaceScriptElement(base), crlf) : text;
    };
    std::string embed = createEmbed(jmol, "orbital", xyzName, "%script", size, colour, rotation);
    // The applet markup has no word for it; the pages' viewer reads this.
    if (jmol && opt.startRotation) replaceAll(embed, "</applet>", "<param name=startspin value=true></applet>");
    // Added to black pages, whose text would otherwise be black on black.
    auto lightened = [&](const std::string& text, const std::string& lineBreak) {
        return opt.blackBackground ? beforeBodyEnd(text, lightTextStyle(), lineBreak) : text;
    };

    std::string script = "select *;spacefill 700;wireframe off;rotate x 0;";
    if (jmol) {
        if (opt.boundingBox) script += "set boundbox on;";
        if (opt.axes) script += "set axes on; color axes grey;";
    }

    const std::string cache = o.mainDir + "/files/";
    std::string page;
    if (!four) {
        std::string body = embed;
        if (showEnergy || opt.slices)
            body = "<table><tr><td>" + embed + "</td>" +
                   (showEnergy ? "<td>" + calcEnergy(o.numbers, EnergyForm::PageTable, energyJ ? EnergyUnit::Joules : EnergyUnit::Attojoules) + "</td>" : "") +
                   (opt.slices ? "<td valign=top>" + sliceLinks(base, true) + "</td>" : "") + "</tr></table>";
        page = top + body +
               "<br>Click and drag the model to see it from a different perspective.<br>With some browsers you may "
               "need to close this window<br>or use the <a target=_top href=names.htm>name index</a> before "
               "displaying another orbital." +
               closing;
        replaceAll(page, "><", ">" + crlf + "<");
        page = withSurfaces(withViewerScripts(lightened(page, crlf), crlf));
    } else {
        replaceAll(embed, "name=orbital ", "");
        std::string panel = panelHead + embed + closing;
        replaceAll(panel, "embed", "embed frank=no");
        replaceAll(panel, "%script", script);
        replaceAll(panel, "><", ">" + crlf + "<");
        panel = withSurfaces(withViewerScripts(panel, crlf));

        page = readWholeFile(o.dataDir + "/frames.ht");
        replaceAll(page, "%froot%", intText(o.numbers.n) + intText(o.numbers.l) + intText(o.numbers.m));

        const std::string root = o.panelRoot + "_";
        struct View {
            const char* rotation;
            const char* placeholder;
        };
        const View views[4] = {{"x -90", "%file1%"}, {"y 90", "%file4%"}, {"x -45; rotate z 45", "%file3%"},
                               {"x 0", "%file2%"}};
        for (int k = 0; k < 4; ++k) {
            const std::string name = root + intText(k + 1) + ".htm";
            writeWholeFile(cache + name, replaced(panel, "x 0", views[k].rotation), problems);
            replaceAll(page, views[k].placeholder, name);
        }
        const std::string titled = opt.slices ? beforeBodyEnd(titlePage, sliceLinks(base, false), "") : titlePage;
        writeWholeFile(cache + root + "0.htm", lightened(titled, ""), problems);
        replaceAll(page, "%file0%", root + "0.htm");
    }

    replaceAll(page, "%script", script);
    const std::string pagePath = withExtension(o.xyzFile, ".xyz", ".htm");
    const std::size_t before = problems.size();
    writeWholeFile(pagePath, page, problems);
    const bool pageWritten = problems.size() == before;

    writeWholeFile(withExtension(pagePath, ".htm", ".txt"),
                   xyzName + "; " + calcEnergy(o.numbers, EnergyForm::BothUnits, EnergyUnit::Attojoules) + "; " + script + "|" + title, problems);

    if (jmol) copyApplet(dirOf(o.xyzFile), o.dataDir, problems);
    // Without three.js the pages say in the viewer area what to install.
    for (auto& problem : copyViewerFiles(dirOf(o.xyzFile), o.dataDir, o.threeDir)) problems.push_back(std::move(problem));

    createHtmlIndex(o.mainDir, o.xyzFile, jmol, title, script, colour, problems);
    return pageWritten ? pagePath : "";
}


}  // namespace vantrel
