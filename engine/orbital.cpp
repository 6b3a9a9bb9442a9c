#include "engine/orbital.h"
// STUB: to be written
namespace vantrel {
bool validnumbers(int n, int l, int m) { return l < n && (m < 0 ? -m : m) <= l && n + l <= 50; }
void updateorbital(bool) {}
int defaultextent() { return 2; }
void setnucleus(int) {}
void setorbital(int, int, int, int, bool) {}
void autoscale() {}
void setoptions(int& x, int& y, int& z, bool& r) { x = y = z = 0; r = false; }
bool isnodal() { return false; }
void speciesmenu(int) {}
void formfilenames() {}
}
