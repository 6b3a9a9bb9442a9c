// How the spectrum window reaches the main window and the level window.
#pragma once

#include "spectrum/spectrumwindow.h"

namespace vantrel {

// A clicked level becomes the main window's n (Z = 1, l and m kept),
// unless a run or a sequence has the main window busy; "Energy Levels"
// closes the spectrum window and opens (or updates) the level window.
SpectrumLinks mainWindowLinks();

}  // namespace vantrel
