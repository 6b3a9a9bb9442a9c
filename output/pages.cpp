#include "output/pages.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "engine/energy.h"
#include "engine/formstate.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "engine/platform.h"
#include "engine/textutil.h"
#include "output/pointfile.h"

namespace vantrel {

namespace {

// Where the browser fetches the Chime plug-in when it is missing.
const std::string chimepluginpage = "http://www.mdl.com/products/framework/chime/";

int screentwips = 1280 * 15;

std::string namepart(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Swaps a file extension; a directory name that happens to hold the same
// letters is left alone.
std::string withextension(const std::string& path, const std::string& from, const std::string& to) {
    if (path.size() >= from.size() && path.compare(path.size() - from.size(), from.size(), from) == 0)
        return path.substr(0, path.size() - from.size()) + to;
    return replaced(path, from, to);
}

// 1-based Mid() that never fails.
std::string mid(const std::string& s, std::size_t start, std::size_t length = std::string::npos) {
    if (start < 1 || start > s.size()) return "";
    return s.substr(start - 1, length);
}

std::string specieslabel(const std::string& species) {
    if (species.find('+') == std::string::npos) return species;
    return species.substr(0, 6) + "<sup>" + mid(species, 7, 2) + "</sup>" + mid(species, 9);
}

void copyapplet(const std::string& cachedir) {
    namespace fs = std::filesystem;
    const std::string target = cachedir + "/JmolApplet.jar";
    const std::string source = programdir() + "/JmolApplet.jar";
    if (fileexists(target)) return;  // never overwritten
    if (!fileexists(source)) return; // no applet beside the program: nothing to copy
    std::error_code ec;
    fs::copy_file(source, target, fs::copy_options::skip_existing, ec);
    if (ec) dialogs().messagebox(ec.message() + " copying " + source, Buttons::OK);
}

}  // namespace

std::string createembed(const std::string& sname, const std::string& sfile, const std::string& script,
                        const std::string& swidthheight, const std::string& scolor, const std::string& srot) {
    const std::string q = "\"";
    if (form().chkJmol.checked) {
        return "<applet name=" + q + sname + q + " code=JmolApplet Archive = JmolApplet.jar " + swidthheight +
               " mayscript=true>" + "<param name=progressbar   value=true>" +
               "<param name=script value=" + q + "set color rasmol;background " + scolor + ";load " + sfile + ";" +
               script + q + ">" + "</applet>";
    }
    return "<embed pluginspage=" + chimepluginpage + " name=" + sname + " src=" + sfile + " script='" + script +
           "' " + swidthheight + " align=abscenter bgcolor=" + scolor + " options3d=specular color3d=cpk " + srot +
           " spiny=60 frank=no>";
}

std::string createorbitalpage() {
    MainForm& f = form();
    f.Frame2.enabled = false;
    if (!writexyzfile()) return "";

    callenablecontrols(false);
    const bool jmol = f.chkJmol.checked;
    const bool energyj = f.chkEnergy[1].checked;
    const bool showenergy = f.chkEnergy[0].checked || energyj;
    const bool four = f.chk4Panel.checked;
    const bool full = f.chkFull.checked;
    int w;
    if (screenwidthtwips() > 10000)
        w = four ? 156 : full ? 624 : 312;
    else
        w = four ? 125 : full ? 500 : 250;
    const std::string size = " width=" + inttext(w) + " height=" + inttext(w);
    const std::string rotation = f.chkRotate.checked ? "startspin=true " : "";
    updateorbital(false);
    const OrbitalState& o = globals().orbital;
    const std::string colour = f.chkBlack.checked ? "BLACK" : "WHITE";
    const std::string closing = "</BODY></HTML>";

    std::string tail = (o.planename.empty() ? "" : " plane") + std::string(" for ") + specieslabel(o.speciesname);
    replaceall(tail, "Z=", "<i>Z</i> = ");

    const std::string header = "<HTML><BODY BGCOLOR=" + colour + ">";
    const std::string panelhead = "<center>" + header;
    const std::string title = "<center><h3><i>n</i>=" + inttext(o.currentn) + " <i>l</i>=" + inttext(o.currentl) +
                              " <i>m</i>=" + inttext(o.currentm) + " " + o.planename + tail + "</h3>";
    const std::string top = header + title + "</center>" + "Index: " +
                            " <a target=_top href=index.htm>by energy</a>" +
                            " <a target=_top href=names.htm>by name</a>" + "<center>";
    const std::string titlepage = top + closing;

    const std::string xyzname = namepart(o.xyzfile);
    std::string embed = createembed("orbital", xyzname, "%script", size, colour, rotation);

    std::string script = "select *;spacefill 700;wireframe off;rotate x 0;";
    if (jmol) {
        if (f.chkJmolBox.checked) script += "set boundbox on;";
        if (f.chkJmolAxes.checked) script += "set axes on; color axes grey;";
    }

    const std::string cache = globals().maindir + "/files/";
    std::string page;
    if (!four) {
        std::string body = embed;
        if (showenergy)
            body = "<table><tr><td>" + embed + "</td><td>" + calcEnergy(-1, energyj ? 1 : 0) +
                   "</td></tr></table>";
        page = top + body +
               "<br>Click and drag the model to see it from a different perspective.<br>With some browsers you may "
               "need to close this window<br>or use the <a target=_top href=names.htm>name index</a> before "
               "displaying another orbital." +
               closing;
        replaceall(page, "><", ">" + crlf + "<");
    } else {
        replaceall(embed, "name=orbital ", "");
        std::string panel = panelhead + embed + closing;
        replaceall(panel, "embed", "embed frank=no");
        replaceall(panel, "%script", script);
        replaceall(panel, "><", ">" + crlf + "<");

        page = readwholefile(programdir() + "/frames.ht");
        replaceall(page, "%froot%", inttext(o.currentn) + inttext(o.currentl) + inttext(o.currentm));

        const std::string root = o.basename + o.colorsuffix + "_";
        struct View {
            const char* rotation;
            const char* placeholder;
        };
        const View views[4] = {{"x -90", "%file1%"}, {"y 90", "%file4%"}, {"x -45; rotate z 45", "%file3%"},
                               {"x 0", "%file2%"}};
        for (int k = 0; k < 4; ++k) {
            const std::string name = root + inttext(k + 1) + ".htm";
            writewholefile(cache + name, replaced(panel, "x 0", views[k].rotation));
            replaceall(page, views[k].placeholder, name);
        }
        writewholefile(cache + root + "0.htm", titlepage);
        replaceall(page, "%file0%", root + "0.htm");
    }

    replaceall(page, "%script", script);
    const std::string pagepath = withextension(o.xyzfile, ".xyz", ".htm");
    writewholefile(pagepath, page);

    writewholefile(withextension(pagepath, ".htm", ".txt"),
                   xyzname + "; " + calcEnergy(2, 0) + "; " + script + "|" + title);

    if (jmol) copyapplet(dirof(o.xyzfile));

    createhtmlindex(title, script, colour);
    return pagepath;
}

int openfile(const std::string& path, int showmode) {
    if (hooks().openurl) {
        if (hooks().openurl(path, showmode)) return 42;
        // Say where the document is rather than seem to have opened it.
        dialogs().messagebox("No program could be found to open " + path + ".", Buttons::OK);
        return 2;
    }
    // No window to open it in: tell the user where it is.
    std::cout << path << std::endl;
    return 42;
}

void displayclick() {
    MainForm& f = form();
    f.Frame2.enabled = false;
    f.Command1.enabled = false;
    const std::string path = createorbitalpage();
    if (!path.empty()) openfile(path, 1);
    callenablecontrols(true);
    f.Frame2.enabled = true;
    refreshview();
}

int screenwidthtwips() { return screentwips; }
void setscreenwidthtwips(int twips) { screentwips = twips; }

}  // namespace vantrel
