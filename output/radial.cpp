#include "output/radial.h"
// STUB: to be written
namespace vantrel {
namespace { NullCanvas nullcanvas; PlotCanvas* canvas = &nullcanvas; }
PlotCanvas& image1canvas() { return *canvas; }
void setimage1canvas(PlotCanvas* c) { canvas = c ? c : &nullcanvas; }
int binsperangstrom(int a) { return a + 1; }
void resetradialhits() {}
double calctheory() { return 0; }
void showtheory() {}
void drawradialaxes() {}
void drawradialplot(bool) {}
}
