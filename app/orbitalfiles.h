// The main window's side of the orbital's files: loading a point file,
// writing the XYZ file and the pages with the window's options.
#pragma once

#include <string>

namespace vantrel {

// Reads the current orbital's point file back into the radial histogram.
void readPointFile();
// Converts the point file into the XYZ file; false when that failed (the
// user has been told why).
bool writeXyzFile();
// Writes the XYZ file and the page; returns the page's path, "" on failure.
std::string createOrbitalPage();

enum class ShowMode { Normal, Maximised };
// Opens a document with the user's program; false (the user told where it
// is) when there is none. Without a window the path is printed.
bool openDocument(const std::string& path, ShowMode mode);

// "&Load" (loadButton) click.
void loadClick();
// "&Display" (displayButton) click.
void displayClick();

}  // namespace vantrel
