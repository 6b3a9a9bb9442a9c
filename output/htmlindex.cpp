#include "output/pages.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <vector>

#include "output/platform.h"
#include "engine/textutil.h"
#include "output/fileutil.h"
#include "output/htmltext.h"
#include "output/replacingfile.h"
#include "output/viewerfiles.h"

namespace vantrel {

namespace {

namespace fs = std::filesystem;

// Summaries are one line; anything much larger is not one of ours.
constexpr std::uintmax_t maxSummaryBytes = 64 * 1024;

const std::string reloadNote =
    "Note: If your most recently created model doesn't appear here, try <a "
    "href=javascript:void(top.document.location.reload())>reloading</a> this page.<p>";

struct Listed {
    std::string name;
    std::string lowered;  // the sort key, made once
};

// Regular files of the cache (links followed), read once for both indexes.
// The entry's own type where the system gives it: a status for every
// name would cost more than the pages.
std::vector<Listed> listCache(const std::string& cache) {
    std::vector<Listed> found;
    DIR* dir = ::opendir(cache.c_str());
    if (!dir) return found;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat st {};
            regular = ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (!regular) continue;
        std::string n(name);
        std::string l = lower(n);
        found.push_back({std::move(n), std::move(l)});
    }
    ::closedir(dir);
    return found;
}

// Whether the name ends in the extension (given in lower case), any case.
bool hasExtension(const Listed& file, const std::string& extension) {
    const std::string& l = file.lowered;
    return l.size() > extension.size() && l.compare(l.size() - extension.size(), extension.size(), extension) == 0;
}

// The order of the hidden sorted list box: case does not matter; names
// that differ only in case keep a fixed order.
bool noCaseBefore(const std::string& la, const std::string& a, const std::string& lb, const std::string& b) {
    return la != lb ? la < lb : a < b;
}

std::string dateText(fs::file_time_type t) {
    auto sys = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
        t - fs::file_time_type::clock::now() + std::chrono::system_clock::now());
    std::time_t tt = std::chrono::system_clock::to_time_t(sys);
    std::tm local{};
    localtime_r(&tt, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S", &local);
    return buf;
}

std::string joinLines(const std::vector<std::string>& lines) {
    std::size_t size = 0;
    for (const auto& line : lines) size += line.size() + crlf.size();
    std::string text;
    text.reserve(size);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) text += crlf;
        text += lines[i];
    }
    return text;
}

void writeNames(const std::string& cache, const std::vector<Listed>& files, std::vector<std::string>& problems) {
    std::vector<const Listed*> pages;
    for (const auto& p : files)
        if (hasExtension(p, ".htm") && val(p.name) != 0) pages.push_back(&p);
    std::sort(pages.begin(), pages.end(),
              [](const Listed* a, const Listed* b) { return noCaseBefore(a->lowered, a->name, b->lowered, b->name); });

    std::vector<std::string> lines;
    lines.push_back("<html><body><h1>Directory of " + htmlText(cache) + "</h1><p>" + crlf);
    lines.push_back(reloadNote + "<a target=_top href=index.htm>by energy</a><p><table>");
    for (const Listed* p : pages) {
        const std::string& name = p->lowered;
        std::string rest = name;
        std::string t1 = splitFirst(rest, "_");
        std::string t2 = splitFirst(rest, "_");
        std::string t3 = splitFirst(rest, "_");
        std::string t4 = rest.substr(0, rest.find(".htm"));
        std::error_code sec;
        lines.push_back("<tr><td><a target=_top href=" + hrefValue(name) + ">" + htmlText(name) + "</a>" +
                        "<td>n=" + htmlText(t1) + "<td>l=" + htmlText(t2) + "<td>m=" + htmlText(t3) + "<td>" +
                        htmlText(t4) + "<td>" + dateText(fs::last_write_time(cache + "/" + p->name, sec)));
    }
    lines.push_back("</table></body></html>");
    writeWholeFile(cache + "/names.htm", joinLines(lines), problems);
}

std::vector<std::string> energyItems(const std::string& cache, const std::vector<Listed>& files) {
    struct Item {
        std::string lowered, text;
    };
    std::vector<Item> items;
    for (const auto& s : files) {
        if (!hasExtension(s, ".txt")) continue;
        const std::string path = cache + "/" + s.name;
        std::error_code ec;
        auto size = fs::file_size(path, ec);
        if (ec || size > maxSummaryBytes) continue;
        std::string text = readWholeFile(path);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        auto at = text.find("E =");
        if (at == std::string::npos) continue;
        double e = val(text.substr(at + 3));
        if (!(e < 0)) continue;
        std::string item = formatPicture(-e * 10000, "00000000") + ";" + text;
        std::string l = lower(item);
        items.push_back({std::move(l), std::move(item)});
    }
    std::sort(items.begin(), items.end(),
              [](const Item& a, const Item& b) { return noCaseBefore(a.lowered, a.text, b.lowered, b.text); });
    std::vector<std::string> sorted;
    sorted.reserve(items.size());
    for (auto& item : items) sorted.push_back(std::move(item.text));
    return sorted;
}

// The viewer of frame1's showxyz: the file and script come from the
// function's arguments. The embed's own quotes are escaped, or the Chime
// form's script='...' would end the single-quoted JavaScript string.
std::string showXyzEmbed(bool jmol) {
    const std::string fileMark = "\x01" "F", scriptMark = "\x01" "S";
    std::string embed = createEmbed(jmol, "orbital1", fileMark, scriptMark, "width=300 height=300", "white", "");
    replaceAll(embed, "'", "\\'");
    replaceAll(embed, fileMark, "'+sfile+'");
    replaceAll(embed, scriptMark, "'+script+'");
    return embed;
}

void writeEnergyIndex(const std::string& cache, const std::vector<Listed>& files, bool jmol,
                      std::vector<std::string>& problems) {
    std::vector<std::string> lines = {
        "<script type=text/javascript>",
        "function showxyz(sfile,script,shead){",
        "  var s='<body>" + showXyzEmbed(jmol) + viewerScriptElements("", "<\\/script>") + "</body>';",
        "  parent.fraOrb.document.open();parent.fraOrb.document.write(s);",
        "  parent.fraOrb.document.close();",
        "  parent.fraTitle.document.open();parent.fraTitle.document.write(shead);",
        "  parent.fraTitle.document.close();",
        "}",
        "</script>",
        viewerOnlyScriptElement(),
        "<body><h3>Index by Energy</h3><p>" + reloadNote + "<a target=_top href=names.htm>by name</a><table>",
    };
    std::string previousKey;
    bool first = true;
    for (std::string item : energyItems(cache, files)) {
        std::string key = splitFirst(item, ";");
        std::string xyz = splitFirst(item, ";");
        std::string energy = trim(splitFirst(item, ";"));
        std::string script = splitFirst(item, "|");
        const std::string& title = item;
        std::string shown = htmlText(energy.substr(0, energy.find("atto")) + "aJ");
        std::string display = htmlText(xyz.substr(0, xyz.find(".xyz")));
        replaceAll(display, "_", "&nbsp;");

        lines.push_back("<tr>");
        if (first || key != previousKey)
            lines.push_back("<td colspan=2><hr></td><tr><td nowrap valign=top><b>" + shown + "</b></td>");
        else
            lines.push_back("<td></td>");
        lines.push_back("<td nowrap valign=top><a href=\"javascript:showxyz('" + scriptInLink(xyz) + "','" +
                        scriptInLink(script) + "','" + scriptInLink(title) + "')\">" + display + "</a></td></tr>");
        previousKey = key;
        first = false;
    }
    lines.push_back("</table>");
    lines.push_back("</body>");
    writeWholeFile(cache + "/frame1.htm", joinLines(lines), problems);
}

std::string frameSetTemplate(const std::string& mainDir) {
    return joinLines({
        "<HTML><HEAD><TITLE>Index of " + htmlText(mainDir) + "/files by Energy</TITLE></HEAD>",
        "<FRAMESET FRAMEBORDER='0' BORDER=NO FRAMESPACING='0' ROWS='0,*'>",
        "    <FRAME MARGINWIDTH='0' MARGINHEIGHT='0'>",
        "    <FRAMESET FRAMEBORDER='0' BORDER=NO FRAMESPACING='0' ROWS='15%,85%'>",
        "        <FRAME name=fraTitle MARGINWIDTH='0' MARGINHEIGHT='0' SRC='frame0.htm'>",
        "        <FRAMESET FRAMEBORDER='0' BORDER=NO FRAMESPACING='0' COLS='30%,70%'>",
        "          <FRAME name=fraInfo MARGINWIDTH='0' MARGINHEIGHT='0' SRC='frame1.htm'>",
        "          <FRAME name=fraOrb MARGINWIDTH='0' MARGINHEIGHT='0' SRC='frame2.htm'>",
        "        </FRAMESET>",
        "    </FRAMESET>",
        "</FRAMESET>",
        " <BODY BGCOLOR='#FFFFFF'></BODY>",
        "</HTML>",
    });
}

// A template cut short (a full disk, a run killed while writing it, before
// writes were made whole) would leave every index empty: it is made again.
bool wholeTemplate(const std::string& text) { return lower(text).find("</html>") != std::string::npos; }

// The frame set is made once in the user's data folder (never below the
// program, which may be a system folder shared by every user) and copied
// into the cache; where that folder cannot hold it, it goes straight in.
void writeIndexFrameSet(const std::string& mainDir, std::vector<std::string>& problems) {
    const std::string cache = mainDir + "/files";
    std::error_code made;
    fs::create_directories(userDataDir(), made);
    const std::string tpl = userDataDir() + "/index.ht";
    const std::string target = cache + "/index.htm";
    if (!wholeTemplate(readWholeFile(tpl)) && !writeWholeFile(tpl, frameSetTemplate(mainDir))) {
        writeWholeFile(target, frameSetTemplate(mainDir), problems);
        return;
    }
    if (auto problem = copyReplacing(tpl, target); !problem.empty()) problems.push_back(problem);
}

}  // namespace

void createHtmlIndex(const std::string& mainDir, const std::string& xyzFile, bool jmol, const std::string& sHeader,
                     const std::string& script, const std::string&, std::vector<std::string>& problems) {
    const std::string cache = mainDir + "/files";
    // Writing names.htm adds no summary: one listing serves both.
    const std::vector<Listed> files = listCache(cache);
    writeNames(cache, files, problems);
    writeEnergyIndex(cache, files, jmol, problems);
    writeWholeFile(cache + "/frame2.htm",
                   joinLines({"<body>",
                              createEmbed(jmol, "orbital1", fs::path(xyzFile).filename().string(), script,
                                          "width=300 height=300", "white", ""),
                              viewerScriptElements(crlf), "</body>"}),
                   problems);
    // The viewer script lets the title follow a click in the index.
    writeWholeFile(cache + "/frame0.htm", "<html>" + sHeader + viewerOnlyScriptElement() + "</html>", problems);
    writeIndexFrameSet(mainDir, problems);
}

}  // namespace vantrel
