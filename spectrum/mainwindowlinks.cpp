#include "spectrum/mainwindowlinks.h"

#include "app/orbitalcontrols.h"
#include "app/windowstate.h"
#include "app/appstate.h"
#include "output/platform.h"

namespace vantrel {

SpectrumLinks mainWindowLinks() {
    SpectrumLinks links;
    links.pickLevel = [](int n) {
        // A run or a sequence is writing the current orbital's files.
        if (mainWindow().controlsHeld) return;
        const OrbitalState& o = globals().orbital;
        setOrbital(1, n, o.currentL, o.currentM, false);
        refreshView();
    };
    // The same as the main window's "&Energy Level Diagram": this window
    // closes, the level window opens or follows the current state.
    links.openEnergyLevels = [] {
        if (const auto& open = mainWindow().compareEnergiesMenuItem.onClick) open();
    };
    return links;
}

}  // namespace vantrel
