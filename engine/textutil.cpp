#include "engine/textutil.h"
// STUB: to be written
namespace vantrel {
std::string numtext(double) { return ""; }
std::string inttext(long long x) { return std::to_string(x); }
std::size_t numtext_fast(double, char*) { return 0; }
double val(const std::string&) { return 0; }
long long floorval(const std::string&) { return 0; }
long long roundeven(double) { return 0; }
int clampint(long long x) { return (int)x; }
std::string formatpicture(double, const std::string&) { return ""; }
std::string lower(const std::string& s) { return s; }
std::string upper(const std::string& s) { return s; }
std::string trim(const std::string& s) { return s; }
std::string splitfirst(std::string&, const std::string&) { return ""; }
void replaceall(std::string&, const std::string&, const std::string&) {}
std::string replaced(std::string t, const std::string&, const std::string&) { return t; }
std::string filenameof(const std::string& p) { return p; }
std::size_t lastindexof(const std::string&, char) { return 0; }
std::string dirof(const std::string& p) { return p; }
std::string readwholefile(const std::string&) { return ""; }
bool writewholefile(const std::string&, const std::string&) { return false; }
bool fileexists(const std::string&) { return false; }
bool direxists(const std::string&) { return false; }
}
