#include "app/sequence.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "app/maindir.h"
#include "app/windowstate.h"
#include "app/appstate.h"
#include "engine/orbital.h"
#include "app/platformhooks.h"
#include "app/samplingrun.h"
#include "engine/textutil.h"
#include "output/pages.h"
#include "app/orbitalcontrols.h"
#include "app/orbitalfiles.h"
#include "app/interruption.h"
#include "app/radialview.h"
#include "app/orbitalexports.h"
#include "app/session.h"

namespace vantrel {

namespace {

// A sequence line is short; a longer one means the file is not a sequence
// file, and reading it whole would only eat memory.
constexpr std::size_t maxLineLength = 1000000;
// The caption shows at most this much of the line being read.
constexpr std::size_t maxCaptionLine = 200;

// Reads lines ended by LF, CR LF or CR, never holding more than
// maxLineLength characters of one line.
class LineReader {
public:
    explicit LineReader(std::FILE* f) : f_(f) {}
    ~LineReader() {
        if (f_) std::fclose(f_);
    }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // False at the end of the file. tooLong: the line passed the limit and
    // reading stopped there (a stream without line ends never ends).
    bool next(std::string& line, bool& tooLong) {
        line.clear();
        tooLong = false;
        int c = getc_unlocked(f_);
        if (c == EOF) return false;
        while (c != EOF && c != '\n' && c != '\r') {
            if (line.size() == maxLineLength) {
                tooLong = true;
                return true;
            }
            line.push_back(static_cast<char>(c));
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

// Opens for reading; errno-style code on failure. Only a regular file is
// a sequence file: a FIFO would block in open(), a device never ends.
std::FILE* openForReading(const std::string& name, int& error) {
    struct stat st {};
    if (::stat(name.c_str(), &st) != 0) {
        error = errno;
        return nullptr;
    }
    if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return nullptr;
    }
    // Non-blocking in case it was swapped for a FIFO since the test.
    int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return nullptr;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = EINVAL;
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    std::FILE* f = ::fdopen(fd, "rb");
    if (!f) {
        error = errno;
        ::close(fd);
    }
    return f;
}

// Control characters other than tabs do not belong in a text file.
bool looksBinary(const std::string& line) {
    for (unsigned char c : line)
        if (c < 0x20 && c != '\t') return true;
    return false;
}

bool has(const std::string& line, const char* word) { return line.find(word) != std::string::npos; }

// Number after the first occurrence of the keyword, rounded down.
long long numberAfter(const std::string& line, const std::string& keyword) {
    auto at = line.find(keyword);
    return floorVal(line.substr(at + keyword.size()));
}

// Sets the two-state control for a keyword: on when the keyword is there,
// off when its negative form is there too. Returns false when absent.
bool keywordState(const std::string& line, const char* word, bool& state) {
    if (!has(line, word)) return false;
    state = !has(line, (std::string("no") + word).c_str());
    return true;
}

// The files besides the page; off until a line asks for them.
void applyExportKeywords(Dialogs& dialogs, const std::string& line, ExportChoices& exports) {
    if (has(line, "enclose=")) {
        const long long p = numberAfter(line, "enclose=");
        if (p >= minEnclosedPercent && p <= maxEnclosedPercent)
            exports.enclosedPercent = static_cast<int>(p);
        else
            dialogs.messageBox("enclose= takes a percentage from " + intText(minEnclosedPercent) + " to " +
                                   intText(maxEnclosedPercent) + "; the surfaces keep enclosing " +
                                   intText(exports.enclosedPercent) + " %.",
                               Buttons::OK);
    }
    bool on = false;
    if (keywordState(line, "image", on)) exports.image = on;
    if (keywordState(line, "cube", on)) exports.cube = on;
    if (keywordState(line, "surface", on)) exports.surface = on;
    if (keywordState(line, "slice", on)) exports.slice = on;
}

// Writes the files the run asks for beside the page; false when one failed.
bool writeExports(Session& s, const ExportChoices& exports) {
    const OrbitalState& o = s.orbital;
    ExportSubject subject{s.wavefunction, o.extent, o.csvFile, {}};
    applyDisplayOptions(s.window, subject.view);
    const ExportOutcome written =
        writeOrbitalExports(subject, o.xyzFile.substr(0, o.xyzFile.size() - 4), exports, s.pictures, eventPump(s));
    for (const std::string& path : written.written) report(s, "  " + path);
    std::string problems;
    for (const std::string& p : written.problems) problems += (problems.empty() ? "" : crlf) + p;
    if (!problems.empty()) s.dialogs->messageBox(problems, Buttons::OK);
    return problems.empty();
}

void applyState(MainWindowState& f, const std::string& line) {
    std::string fields = line;
    for (int i = 0; i < 3; ++i) f.quantumText[i].setText(splitFirst(fields, " "));
    const std::string region = lower(splitFirst(fields, " "));
    f.regionOptions[0].select();
    for (int i = 1; i < 4; ++i)
        if (region == f.regionOptions[i].tag) f.regionOptions[i].select();
}

// The keywords, in their fixed order. Returns nothing; the autoscale and
// continue flags of the run are updated in place.
void applyKeywords(Session& s, const std::string& line, int processed, bool& autoscaleFlag, bool& continueFlag,
                   ExportChoices& exports) {
    MainWindowState& f = s.window;
    if (has(line, "maxpoints=")) {
        long long v = numberAfter(line, "maxpoints=");
        if (v > 0) f.maxPointsText.setText(intText(v));
        if (const std::string warning = viewerLimitWarning(v); v > 0 && !warning.empty())
            s.dialogs->messageBox(warning, Buttons::OK);
    }
    if (has(line, "Z=")) {
        long long z = numberAfter(line, "Z=");
        if (z > 0 && z <= 32767) setNucleus(s, static_cast<int>(z));  // a 16-bit charge
    }
    if (has(line, "extent=")) {
        long long v = numberAfter(line, "extent=");
        if (v >= 1) {
            f.extentText.setText(intText(v));
            autoscaleFlag = false;
        } else {
            autoscaleFlag = true;
        }
    }
    if (has(line, "CLEAR") && processed == 0) clearCache(s, false);

    bool on = false;
    // A menu check mark changes without its click reaction (which would ask).
    if (keywordState(line, "quick", on)) f.quickMenuItem.checked = on;
    // The colour options are a pair: switching one off selects the other.
    if (keywordState(line, "probability", on)) f.colourModeOptions[on ? 0 : 1].select();
    if (keywordState(line, "nodes", on)) f.colourModeOptions[on ? 1 : 0].select();
    if (keywordState(line, "continue", on)) continueFlag = on;
    struct Check {
        const char* word;
        Control* box;
    };
    const Check checks[] = {{"first", &f.firstQuadrantCheck},   {"full", &f.fullScreenCheck},          {"four", &f.fourPanelCheck},
                            {"black", &f.blackBackgroundCheck}, {"start", &f.startRotationCheck},       {"small", &f.smallerDotsCheck},
                            {"jmol", &f.useJmolCheck}};
    for (const auto& c : checks)
        if (keywordState(line, c.word, on)) c.box->setChecked(on);
    if (keywordState(line, "chime", on)) f.useJmolCheck.setChecked(!on);
    if (keywordState(line, "jmolaxes", on)) f.jmolAxesCheck.setChecked(on);
    if (keywordState(line, "jmolbox", on)) f.jmolBoundingBoxCheck.setChecked(on);
    if (keywordState(line, "energy", on)) {
        f.energyChecks[1].setChecked(on);
        f.energyChecks[0].setChecked(on && !has(line, "(J)"));
    }
    applyExportKeywords(*s.dialogs, line, exports);
}

std::string wrongTypeMessage(const std::string& mainDir, const std::string& name) {
    return "The sequence file " + name + " is not of the correct file type. See " + mainDir +
           "/input.txt";
}

}  // namespace

bool applyCommandLine(Session& s, const std::vector<std::string>& arguments) {
    // Only an argument that is the word itself clears: "run CLEAR 2.txt" is
    // a file name.
    std::string name;
    bool clear = false;
    for (const auto& a : arguments) {
        if (a == "CLEAR") {
            clear = true;
            continue;
        }
        if (!name.empty()) name += ' ';
        name += a;
    }
    if (clear) clearCache(s, false);
    name = trim(name);
    if (name.empty()) return false;
    runSequence(s, name);
    return true;
}

void runSequence(Session& s, std::string& name) {
    SequenceOutcome& outcome = s.sequenceOutcome;
    outcome = SequenceOutcome::NotRun;
    if (name.empty()) name = s.mainDir + "/input.txt";
    if (name.front() != '/') {
        std::error_code ec;
        const std::string here = std::filesystem::current_path(ec).string();
        if (ec || here.empty()) {
            // A removed working directory: no folder to take the name from.
            s.dialogs->messageBox(ec.message() + " finding the current directory for " + name, Buttons::OK);
            outcome = SequenceOutcome::OpenFailed;
            return;
        }
        name = here + "/" + name;
    }
    replaceAll(name, "//", "/");

    if (s.dialogs->messageBox("Reading input data from  " + name, Buttons::OKCancel, "", Icon::Information) !=
        Answer::OK) {
        outcome = SequenceOutcome::Cancelled;
        return;
    }
    int error = 0;
    std::FILE* file = openForReading(name, error);
    if (!file) {
        const std::string why = error == EINVAL ? "Not a regular file" : std::strerror(error);
        s.dialogs->messageBox(why + " opening " + name, Buttons::OK);
        outcome = SequenceOutcome::OpenFailed;
        return;
    }

    MainWindowState& f = s.window;
    RunState& run = s.run;
    callEnableControls(s, false);
    run.stopRequested.clear();
    int lineNo = 0;
    int processed = 0;
    int unwritten = 0;  // orbitals whose files were not all written
    bool autoscaleFlag = false;
    bool continueFlag = false;
    ExportChoices exports;
    outcome = SequenceOutcome::Done;
    const std::string shortName = trim(name.substr(name.rfind('/') + 1));
    {
        LineReader reader(file);
        std::string line;
        bool tooLong = false;
        bool endMark = false;
        while (!endMark && !interruption() && reader.next(line, tooLong)) {
            pumpEvents(s);
            if (lineNo == 0 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // UTF-8 mark
            // Old DOS editors end a file with Ctrl-Z: nothing after it counts.
            if (auto z = line.find('\x1A'); z != std::string::npos) {
                line.erase(z);
                endMark = true;
                if (line.empty()) break;
            }
            ++lineNo;

            std::string shown = line.size() > maxCaptionLine ? line.substr(0, maxCaptionLine) + "..." : line;
            f.window.caption = shortName + " line " + intText(lineNo) + ": " + shown;

            if (tooLong) {
                s.dialogs->messageBox("Line " + intText(lineNo) + " of the sequence file " + name +
                                          " is too long to be a sequence line.",
                                      Buttons::OK);
                outcome = SequenceOutcome::WrongType;
                break;
            }
            if (!line.empty() && (line[0] == '#' || line[0] == ';')) line.clear();
            if (has(line, ",") || looksBinary(line)) {
                s.dialogs->messageBox(wrongTypeMessage(s.mainDir, name), Buttons::OK);
                outcome = SequenceOutcome::WrongType;
                break;
            }

            const bool stateLine = val(line) != 0;
            if (stateLine) applyState(f, line);
            applyKeywords(s, line, processed, autoscaleFlag, continueFlag, exports);
            if (autoscaleFlag) f.extentText.setText(intText(defaultExtent(s.orbital)));
            updateOrbital(s, true);
            if (!stateLine) continue;

            ++processed;
            // Invalid numbers have nothing to sample: say why instead of
            // failing later on a point file that was never written.
            if (!f.numbersValid) {
                report(s, f.window.caption);
                report(s, "  " + f.errorLabel.caption);
                continue;
            }
            run.continueRun = canContinue(s.orbital) && continueFlag;
            startCalculation(s, true);
            const RunProblem& problem = run.problem;
            if (!problem.text.empty()) outcome = SequenceOutcome::Incomplete;
            // Without points of its own a page would show an older run's.
            const bool noFile = !problem.text.empty() && problem.pointsKept == 0;
            bool whole = false;
            const std::string page = noFile ? "" : createOrbitalPage(s, &whole, exports.surface, exports.slice);
            if (!whole) {
                outcome = SequenceOutcome::Incomplete;
                ++unwritten;
            }
            report(s, f.window.caption);
            if (noFile) {
                report(s, "  no page written: the run could not write its point file");
            } else {
                const std::string results = radialResultText(f);
                report(s, "  " + intText(run.nPoints) + (problem.text.empty() ? " points" : " points (incomplete)") +
                       (results.empty() ? "" : ", " + results) + (page.empty() ? ", no page written" : ", page " + page));
            }
            if (exports.any() && !writeExports(s, exports)) outcome = SequenceOutcome::Incomplete;
            // A signal is "Enough!" followed by No.
            if (run.stopRequested.requested() &&
                (interruption() || s.dialogs->messageBox("Do you want to continue processing of " + name + "?",
                                                         Buttons::YesNo, "", Icon::Question) != Answer::Yes))
                break;
        }
    }
    std::string done = intText(processed) + (processed == 1 ? " orbital was processed." : " orbitals were processed.");
    if (unwritten > 0)
        done.append(" ").append(intText(unwritten)).append(" of them ").append(unwritten == 1 ? "lacks" : "lack")
            .append(" files that could not be written.");
    s.dialogs->messageBox(done, Buttons::OK);
    callEnableControls(s, true);
    // The page writer leaves the display options disabled; a batch run has
    // no "&Display" handler to enable them again.
    f.displayFrame.enabled = true;
}

}  // namespace vantrel
