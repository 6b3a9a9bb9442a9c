// The main window's side of the orbital's files: loading a point file,
// writing the XYZ file and the pages with the window's options.
#pragma once

#include <string>

namespace vantrel {

struct Session;

// Reads the current orbital's point file back into the radial histogram;
// true when it read whole (every line a point inside its extent).
bool readPointFile(Session& s);
// Converts the point file into the XYZ file; false when that failed (the
// user has been told why).
bool writeXyzFile(Session& s);
// Writes the XYZ file and the page; returns the page's path, "" when the
// page could not be written. Files that could not be written are said in
// one message; `whole` (when given) tells whether every file was written.
// A sequence run that writes surfaces or slices beside the page says so.
std::string createOrbitalPage(Session& s, bool* whole = nullptr, bool surfaces = false, bool slices = false);

// A warning when the pages' viewer cannot show that many points (it shows
// a share of them), else "".
std::string viewerLimitWarning(long long points);

enum class ShowMode { Normal, Maximised };
// Opens a document with the user's program; false (the user told where it
// is) when there is none. Without a window the path is printed.
bool openDocument(Session& s, const std::string& path, ShowMode mode);

// "&Load" (loadButton) click.
void loadClick(Session& s);
// "&Display" (displayButton) click.
void displayClick(Session& s);

}  // namespace vantrel
