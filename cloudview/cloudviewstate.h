// The 3-D view's plain state, as the window holds it, and its reactions to
// the mouse, the keys and its buttons. No Qt: every reaction is tested
// without a screen, and a batch run draws the same picture.
#pragma once

#include <string>
#include <vector>

#include "output/cloudrender.h"

namespace vantrel {

// Keys the view answers when it has the focus: arrows turn (the way a drag
// would), + and - zoom, Page Up and Page Down move the cutaway plane.
enum class ViewKey { left, right, up, down, zoomIn, zoomOut, cutForward, cutBack };
enum class ViewAxis { x, y, z };

struct LegendEntry {
    Rgb colour;
    std::string text;
};

struct CloudLegend {
    std::string title;                 // above the entries; "" for none
    std::vector<LegendEntry> entries;  // what each colour means
    std::vector<std::string> notes;    // tick spacing, the cutaway
};

struct ExportSize {
    int width = 0, height = 0;
};

struct CloudViewState {
    CloudCamera camera;
    CloudStyle style = CloudStyle::density;
    CloudColouring colouring = CloudColouring::sign;
    CloudCut cut;
    bool axes = true, box = false, blackBackground = false;
    bool showCloud = true, showSurfaces = true;
    double extent = 1;   // half side of the orbital's sampling cube, Angstroms
    double maxPsi2 = 0;  // the probability classes' scale
    int exportFactor = 1;  // a saved picture is the view's size times this (1 or 2)
    std::string surfaceNote;  // what the surfaces enclose, in the legend while they show

    void drag(double dx, double dy);  // logical pixels moved with a button held
    void wheel(int angleDelta);       // eighths of a degree, 120 a notch; away from the user zooms in
    void pinch(double factor);        // above 1 zooms in
    void resetCamera();               // double click
    void key(ViewKey k);
    void viewAlong(ViewAxis a);       // the plane across it face on: yz, xz or xy
    void setCutOffset(double offset);  // kept within the cube

    CloudScene scene(int width, int height, double pixelRatio) const;
    CloudLegend legend(const CloudScene& scene) const;
    ExportSize exportSize(int width, int height) const;  // logical pixels
};

}  // namespace vantrel
