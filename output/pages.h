// Orbital pages with the viewer embeds, and the cache index pages.
#pragma once

#include <string>

namespace vantrel {

std::string createEmbed(const std::string& sName, const std::string& sFile, const std::string& script,
                        const std::string& sWidthHeight, const std::string& sColor, const std::string& srot);
std::string createOrbitalPage();
// Opens a document with the user's program; show mode 1 normal, 3 maximised.
int openFile(const std::string& path, int showMode);
// "&Display" (displayButton) click.
void displayClick();

void createHtmlIndex(const std::string& sHeader, const std::string& script, const std::string& sColor);

// Screen width in twips, for the viewer size (the window sets it).
int screenWidthTwips();
void setScreenWidthTwips(int twips);

}  // namespace vantrel
