// Orbital pages with the viewer embeds, and the cache index pages.
#pragma once

#include <string>

namespace vantrel {

std::string createembed(const std::string& sname, const std::string& sfile, const std::string& script,
                        const std::string& swidthheight, const std::string& scolor, const std::string& srot);
std::string createorbitalpage();
// Opens a document with the user's program; show mode 1 normal, 3 maximised.
int openfile(const std::string& path, int showmode);
// "&Display" (Command3) click.
void displayclick();

void createhtmlindex(const std::string& sheader, const std::string& script, const std::string& scolor);

// Screen width in twips, for the viewer size (the window sets it).
int screenwidthtwips();
void setscreenwidthtwips(int twips);

}  // namespace vantrel
