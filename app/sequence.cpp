#include "app/sequence.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "app/maindir.h"
#include "engine/formstate.h"
#include "engine/globals.h"
#include "engine/orbital.h"
#include "engine/platform.h"
#include "engine/sampling.h"
#include "engine/textutil.h"
#include "output/pages.h"

namespace vantrel {

namespace {

SequenceOutcome outcome = SequenceOutcome::NotRun;

// A sequence line is short; a longer one means the file is not a sequence
// file, and reading it whole would only eat memory.
constexpr std::size_t maxlinelength = 1000000;
// The caption shows at most this much of the line being read.
constexpr std::size_t maxcaptionline = 200;

// Reads lines ended by LF, CR LF or CR, never holding more than
// maxlinelength characters of one line.
class LineReader {
public:
    explicit LineReader(std::FILE* f) : f_(f) {}
    ~LineReader() {
        if (f_) std::fclose(f_);
    }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // False at the end of the file. toolong: the line was cut.
    bool next(std::string& line, bool& toolong) {
        line.clear();
        toolong = false;
        int c = getc_unlocked(f_);
        if (c == EOF) return false;
        while (c != EOF && c != '\n' && c != '\r') {
            if (line.size() < maxlinelength)
                line.push_back(static_cast<char>(c));
            else
                toolong = true;
            c = getc_unlocked(f_);
        }
        if (c == '\r') {
            int d = getc_unlocked(f_);
            if (d != '\n' && d != EOF) ungetc(d, f_);
        }
        return true;
    }

private:
    std::FILE* f_;
};

// Opens for reading; errno-style code on failure (a directory is refused
// here rather than read as an empty file).
std::FILE* openforreading(const std::string& name, int& error) {
    int fd = ::open(name.c_str(), O_RDONLY);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        error = EISDIR;
        return nullptr;
    }
    std::FILE* f = ::fdopen(fd, "rb");
    if (!f) {
        error = errno;
        ::close(fd);
    }
    return f;
}

// Control characters other than tabs do not belong in a text file.
bool looksbinary(const std::string& line) {
    for (unsigned char c : line)
        if (c < 0x20 && c != '\t') return true;
    return false;
}

bool has(const std::string& line, const char* word) { return line.find(word) != std::string::npos; }

// Number after the first occurrence of the keyword, rounded down.
long long numberafter(const std::string& line, const std::string& keyword) {
    auto at = line.find(keyword);
    return floorval(line.substr(at + keyword.size()));
}

// Sets the two-state control for a keyword: on when the keyword is there,
// off when its negative form is there too. Returns false when absent.
bool keywordstate(const std::string& line, const char* word, bool& state) {
    if (!has(line, word)) return false;
    state = !has(line, (std::string("no") + word).c_str());
    return true;
}

void applystate(const std::string& line) {
    MainForm& f = form();
    std::string fields = line;
    for (int i = 0; i < 3; ++i) f.txtNLM[i].settext(splitfirst(fields, " "));
    const std::string region = lower(splitfirst(fields, " "));
    f.optAll[0].select();
    for (int i = 2; i <= 4; ++i)
        if (region == f.optAll[i].tag) f.optAll[i].select();
}

// The keywords, in their fixed order. Returns nothing; the autoscale and
// continue flags of the run are updated in place.
void applykeywords(const std::string& line, int processed, bool& autoscaleflag, bool& continueflag) {
    MainForm& f = form();
    if (has(line, "maxpoints=")) {
        long long v = numberafter(line, "maxpoints=");
        if (v > 0) f.txtmax.settext(inttext(v));
    }
    if (has(line, "Z=")) {
        long long z = numberafter(line, "Z=");
        if (z > 0 && z <= 32767) setnucleus(static_cast<int>(z));  // a 16-bit charge
    }
    if (has(line, "extent=")) {
        long long v = numberafter(line, "extent=");
        if (v >= 1) {
            f.txtscal.settext(inttext(v));
            autoscaleflag = false;
        } else {
            autoscaleflag = true;
        }
    }
    if (has(line, "CLEAR") && processed == 0) clearcache(false);

    bool on = false;
    // A menu check mark changes without its click reaction (which would ask).
    if (keywordstate(line, "quick", on)) f.mnuQuick.checked = on;
    // The colour options are a pair: switching one off selects the other.
    if (keywordstate(line, "probability", on)) f.OptColor[on ? 0 : 1].select();
    if (keywordstate(line, "nodes", on)) f.OptColor[on ? 1 : 0].select();
    if (keywordstate(line, "continue", on)) continueflag = on;
    struct Check {
        const char* word;
        Control* box;
    };
    const Check checks[] = {{"first", &f.chk1st},   {"full", &f.chkFull},          {"four", &f.chk4Panel},
                            {"black", &f.chkBlack}, {"start", &f.chkRotate},       {"small", &f.chksmallerdots},
                            {"jmol", &f.chkJmol}};
    for (const auto& c : checks)
        if (keywordstate(line, c.word, on)) c.box->setchecked(on);
    if (keywordstate(line, "chime", on)) f.chkJmol.setchecked(!on);
    if (keywordstate(line, "jmolaxes", on)) f.chkJmolAxes.setchecked(on);
    if (keywordstate(line, "jmolbox", on)) f.chkJmolBox.setchecked(on);
    if (keywordstate(line, "energy", on)) {
        f.chkEnergy[1].setchecked(on);
        f.chkEnergy[0].setchecked(on && !has(line, "(J)"));
    }
}

std::string wrongtypemessage(const std::string& name) {
    return "The sequence file " + name + " is not of the correct file type. See " + globals().maindir +
           "/input.txt";
}

}  // namespace

bool applycommandline(const std::string& commandline) {
    std::string text = " " + commandline + " ";
    if (has(text, " CLEAR ")) {
        replaceall(text, " CLEAR ", "");
        clearcache(false);
    }
    text = trim(text);
    if (text.empty()) return false;
    runsequence(text);
    return true;
}

void runsequence(std::string& name) {
    outcome = SequenceOutcome::NotRun;
    if (name.empty()) name = globals().maindir + "/input.txt";
    if (name.front() != '/') {
        std::error_code ec;
        name = std::filesystem::current_path(ec).string() + "/" + name;
    }
    replaceall(name, "//", "/");

    if (dialogs().messagebox("Reading input data from  " + name, Buttons::OKCancel, "", Icon::Information) !=
        Answer::OK) {
        outcome = SequenceOutcome::Cancelled;
        return;
    }
    int error = 0;
    std::FILE* file = openforreading(name, error);
    if (!file) {
        dialogs().messagebox(std::string(std::strerror(error)) + " opening " + name, Buttons::OK);
        outcome = SequenceOutcome::OpenFailed;
        return;
    }

    MainForm& f = form();
    RunState& run = globals().run;
    callenablecontrols(false);
    run.stoprequested = false;
    int lineno = 0;
    int processed = 0;
    bool autoscaleflag = false;
    bool continueflag = false;
    outcome = SequenceOutcome::Done;
    const std::string shortname = trim(name.substr(name.rfind('/') + 1));
    {
        LineReader reader(file);
        std::string line;
        bool toolong = false;
        while (reader.next(line, toolong)) {
            pumpevents();
            ++lineno;
            if (lineno == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // UTF-8 mark

            std::string shown = line.size() > maxcaptionline ? line.substr(0, maxcaptionline) + "..." : line;
            f.Form1.caption = shortname + " line " + inttext(lineno) + ": " + shown;

            if (toolong) {
                dialogs().messagebox("Line " + inttext(lineno) + " of the sequence file " + name +
                                         " is too long to be a sequence line.",
                                     Buttons::OK);
                outcome = SequenceOutcome::WrongType;
                break;
            }
            if (!line.empty() && (line[0] == '#' || line[0] == ';')) line.clear();
            if (has(line, ",") || looksbinary(line)) {
                dialogs().messagebox(wrongtypemessage(name), Buttons::OK);
                outcome = SequenceOutcome::WrongType;
                break;
            }

            const bool stateline = val(line) != 0;
            if (stateline) applystate(line);
            applykeywords(line, processed, autoscaleflag, continueflag);
            if (autoscaleflag) f.txtscal.settext(inttext(defaultextent()));
            updateorbital(true);
            if (!stateline) continue;

            ++processed;
            // Invalid numbers have nothing to sample: say why instead of
            // failing later on a point file that was never written.
            if (!f.Command1.enabled) {
                report(f.Form1.caption);
                report("  " + f.lblerror.caption);
                continue;
            }
            run.continuerun = cancontinue() && continueflag;
            startcalculation(true);
            const std::string page = createorbitalpage();
            report(f.Form1.caption);
            report(page.empty() ? "  no page written"
                                : "  " + inttext(run.npoints) + " points, page " + page);
            if (run.stoprequested &&
                dialogs().messagebox("Do you want to continue processing of " + name + "?", Buttons::YesNo, "",
                                     Icon::Question) != Answer::Yes)
                break;
        }
    }
    dialogs().messagebox(inttext(processed) + (processed == 1 ? " orbital was processed." : " orbitals were processed."),
                         Buttons::OK);
    callenablecontrols(true);
    // The page writer leaves the display options disabled; a batch run has
    // no "&Display" handler to enable them again.
    f.Frame2.enabled = true;
}

SequenceOutcome lastsequenceoutcome() { return outcome; }

}  // namespace vantrel
