// The level diagram window's events: load and unload, the species options,
// the pointer on the diagram and on its markers, the arrow keys and the
// "Spectrum" link.
#include "levels/leveldiagram.h"

#include <algorithm>


namespace vantrel {

namespace {

constexpr int highestWalkLevel = 20;

}  // namespace

void LevelDiagram::load() {
    const LevelDiagramHooks kept = hooks;
    const bool keptEnabled = enabled;
    *this = LevelDiagram();  // a window opened again starts afresh
    hooks = kept;
    enabled = keptEnabled;
    rule = std::string(80, '-');
    for (auto& column : columns) column[0].visible = false;
    bareLevel.left = 800;
    createAxis();
    createColumns();
    showSelectedColumn();
    const OrbitalNumbers o = mainOrbital();
    setUp(o.z, o.n, o.l, o.m);
}

void LevelDiagram::unload() {
    if (hooks.closed) hooks.closed();
}

void LevelDiagram::chooseSpecies(int option) {
    if (option < 0 || option > 3) return;
    const int k = pickedIndex;
    selectOption(option);
    if (validIndex(k) && k < static_cast<int>(columns[option].size())) {
        // The same state in the new column: the main window takes the same
        // n, l, m for the new species.
        skipNextPointerMove = false;
        hoveredTag = columns[option][k].tag;
        hoveredIndex = k;
        pickedTag = hoveredTag + "--->" + hoveredTag;
        pick(option, k);
        return;
    }
    // No marker picked (a level above 3, say): the species still changes.
    const OrbitalNumbers o = mainOrbital();
    if (o.n >= 1) setMainOrbital({visibleZ(), o.n, o.l, o.m});
}

void LevelDiagram::pointerMove(double x, double y) {
    if (skipNextPointerMove) {
        skipNextPointerMove = false;
        return;
    }
    hoveredTag.clear();
    hoveredIndex = 0;
    const auto& column = visibleColumn();
    const int last = std::min(stateCount, static_cast<int>(column.size()) - 1);
    for (int k = 1; k <= last; ++k) {
        const LevelMarker& marker = column[k];
        if (marker.left < x && x < marker.left + markerHitWidth && marker.top + markerBarTop < y &&
            y < marker.top + markerBarBottom) {
            hoveredTag = marker.tag;
            hoveredIndex = k;
            return;
        }
    }
}

void LevelDiagram::pointerPress() {
    if (hoveredTag.empty()) return;
    pickedTag = hoveredTag;
    pickedColumn = selectedOption(), pickedIndex = hoveredIndex;
}

// A drag picks the marker it started on.
void LevelDiagram::pointerRelease() {
    if (hoveredTag.empty()) return;
    pickedTag += "--->" + hoveredTag;
    pick(pickedColumn, pickedIndex);
}

bool LevelDiagram::arrowKey(LevelArrowKey key) {
    const OrbitalNumbers o = mainOrbital();
    int n = o.n, l = o.l, m = o.m;
    // Walking from numbers that name no state would only wander further off.
    if (n < 1 || n > highestWalkLevel || l < 0 || l >= n || m < -l || m > l) return false;
    switch (key) {
    case LevelArrowKey::Left:
        if (l == 0) return false;
        if (m != -l) {
            --m;
        } else {
            --l;
            m = l;
        }
        break;
    case LevelArrowKey::Right:
        if (l == n - 1 && m == l) return false;  // the last state of the level
        if (m != l) {
            ++m;
        } else {
            ++l;
            m = -l;
        }
        break;
    case LevelArrowKey::Up:
        if (n == highestWalkLevel) return false;
        ++n;
        break;
    case LevelArrowKey::Down:
        if (n == 1) return false;
        --n;
        if (l >= n) l = n - 1;
        if (m < -l || m > l) m = l;
        break;
    }
    setMainOrbital({o.z, n, l, m});
    skipNextPointerMove = true;
    return true;
}

void LevelDiagram::spectrumLinkClicked() {
    if (hooks.closed) hooks.closed();
    if (hooks.closeWindow) hooks.closeWindow();
    if (hooks.showSpectrum) hooks.showSpectrum();
}

}  // namespace vantrel
