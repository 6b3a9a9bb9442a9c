#include "spectrum/spectrumwindow.h"

#include <algorithm>
#include <cmath>

#include "engine/energy.h"
#include "engine/textutil.h"

namespace vantrel {

namespace {

// Level diagram layout.
constexpr double mainArrowX = 1150, magnifiedArrowX = 2750;
constexpr double mainTagLeft = 1450, magnifiedTagLeft = 2150;
constexpr double tagRaise = 100;       // tags sit this far above their level
constexpr double crowdedTagShift = 400;
constexpr double arrowInset = 20;      // arrows stop short of the level lines
// Strip layout.
constexpr double wavelengthCaptionTop = 120, frequencyCaptionTop = 960;
constexpr double markAboveTop = 300, markBelowBottom = 900;
constexpr double captionRightMargin = 50, captionLeftLimit = 10, captionLeftStart = 20;

constexpr std::uint32_t black = 0, white = 0xFFFFFF;

std::string levelCaption(int n) { return "n=" + intText(n); }

std::string levelItem(int n) {
    return intText(n) + ": E=" + formatEnergy(groundStateEnergy / n / n, 2, true);
}

void hide(TextMark& m) { m.visible = false; }
void hide(LineMark& m) { m.visible = false; }

void setLine(LineMark& m, double x1, double y1, double x2, double y2) {
    m.x1 = x1, m.y1 = y1, m.x2 = x2, m.y2 = y2;
}

void place(TextMark& m, const std::string& caption, double left, double top) {
    m.caption = caption;
    m.left = left;
    m.top = top;
}

}  // namespace

std::string StateList::text() const {
    return position >= 0 && position < int(items.size()) ? items[position] : std::string();
}

SpectrumWindow::SpectrumWindow(SpectrumLinks links) : links_(std::move(links)), tables_(buildSpectrumTables()) {
    for (LineMark* m : {&pointerAbove, &pointerBelow, &pointerAcross}) m->color = white;
    dragLine.color = redColor;
    transitionText.left = 60;
    transitionText.top = 4080;
    wavelengthCaption.top = wavelengthCaptionTop;
    frequencyCaption.top = frequencyCaptionTop;
    buildAxes();
    buildLevelLines();
    fillUpperList();
}

double SpectrumWindow::textWidth(const std::string& text) const {
    // Without a view, an average character of a small sans-serif font.
    return links_.textWidth ? links_.textWidth(text) : 90.0 * double(text.size());
}

void SpectrumWindow::buildAxes() {
    // Main ladder: a caption every 0.2 aJ; |E1| is about 21.8 steps of 0.1 aJ.
    for (int i = 0; i <= 22; ++i) {
        const double y = double(roundEven(i / 21.8 * 3600 + 200));
        if (i % 2 != 0) continue;
        const std::string caption = formatPicture(i == 0 ? 0.0 : -i / 10.0, "0.0");
        axisCaptions.push_back({caption, 920 - textWidth(caption), y - 100, true});
        axisTicks.push_back({935, y, 985, y, true, black});
    }
    axisCaptions.push_back({"aJ", 200, 1900, true});
    // Magnified ladder, thirty times finer.
    for (int i = 0; i <= 6; ++i) {
        const double y = double(roundEven(i / 218.0 * 3600 * 30 + 200));
        std::string caption = formatPicture(i == 0 ? 0.0 : -i / 100.0, "0.00");
        if (i == 0) caption.insert(0, 1, ' ');
        axisCaptions.push_back({caption, 3150, y - 100, true});
        axisTicks.push_back({3020, y, 3100, y, true, black});
    }
    axisCaptions.push_back({"aJ", 3600, 1900, true});
}

void SpectrumWindow::buildLevelLines() {
    const auto& lv = tables_.levels;
    for (int n = 1; n <= highestLevel; ++n) {
        levelLines.push_back({mainLadderLeft, double(lv[n].mainY), mainLadderRight, double(lv[n].mainY), true, black});
        if (n >= firstMagnifiedLevel)
            levelLines.push_back({magnifiedLadderLeft, double(lv[n].magnifiedY), magnifiedLadderRight,
                                  double(lv[n].magnifiedY), true, black});
    }
    // Connectors between the ladders at both ends of the magnified range.
    for (int n : {firstMagnifiedLevel, highestLevel})
        levelLines.push_back({1420, double(lv[n].mainY), 2580, double(lv[n].magnifiedY), true, black});
}

void SpectrumWindow::fillUpperList() {
    StateList& list = lists[upperList];
    list.items = {selectStateItem};
    list.position = -1;
    for (int n = 2; n <= highestLevel; ++n) list.items.insert(list.items.begin() + 1, levelItem(n));
    selectListPosition(upperList, 0);
}

void SpectrumWindow::fillLowerList() {
    StateList& list = lists[lowerList];
    list.items = {selectStateItem};
    list.position = -1;
    for (int n = 1; n < upperState; ++n) list.items.insert(list.items.begin() + 1, levelItem(n));
    if (lowerState >= 1 && lowerState < upperState)
        selectListPosition(lowerList, upperState - lowerState);
    else if (list.items.size() > 1)
        selectListPosition(lowerList, 1);
}

void SpectrumWindow::selectListPosition(SpectrumList list, int position) {
    if (list != upperList && list != lowerList) return;
    StateList& l = lists[list];
    if (position < -1 || position >= int(l.items.size()) || position == l.position) return;
    l.position = position;
    listClicked(list);
}

int SpectrumWindow::levelInList(SpectrumList list) const {
    // The items begin with their level; anything else counts as no level.
    const long long n = roundEven(val(lists[list].text()));
    return n >= 0 && n <= highestLevel ? int(n) : 0;
}

void SpectrumWindow::listClicked(SpectrumList list) {
    if (lists[list].position == -1) return;
    if (list == upperList) {
        upperState = levelInList(upperList);
        fillLowerList();
    } else {
        showTransition(levelInList(upperList), levelInList(lowerList));
    }
}

void SpectrumWindow::showListState() {
    if (!isLevel(upperState)) return;
    selectListPosition(upperList, highestLevel + 1 - upperState);
    if (lowerState != 0) selectListPosition(lowerList, upperState - lowerState);
}

void SpectrumWindow::showLevelTags() {
    const auto& lv = tables_.levels;
    hide(hoverTag);
    const int up = isLevel(upperState) ? upperState : 0;
    const int low = isLevel(lowerState) ? lowerState : 0;
    place(upperTag, levelCaption(upperState), mainTagLeft, lv[up].mainY - tagRaise);
    place(lowerTag, levelCaption(lowerState), mainTagLeft + (low >= 5 ? crowdedTagShift : 0), lv[low].mainY - tagRaise);
    place(upperMagnifiedTag, levelCaption(upperState), magnifiedTagLeft, lv[up].magnifiedY - tagRaise);
    const bool crowded = lv[low].magnifiedY - lv[up].magnifiedY < 100;
    place(lowerMagnifiedTag, levelCaption(lowerState), magnifiedTagLeft - (crowded ? crowdedTagShift : 0),
          lv[low].magnifiedY - tagRaise);
    upperTag.visible = up >= 1;
    upperMagnifiedTag.visible = up >= firstMagnifiedLevel;
    lowerTag.visible = low >= 1;
    lowerMagnifiedTag.visible = low >= firstMagnifiedLevel;
}

void SpectrumWindow::clearTransition() {
    upperState = lowerState = 0;
    hide(transitionText);  // no text for a transition no longer shown
    setSpectrumPointers(0, 0, false);
}

void SpectrumWindow::showTransition(int a, int b) {
    hide(mainArrow);
    hide(magnifiedArrow);
    // Only a pair of different levels is a transition; a stray number (a
    // step below level 1, say) clears the selection instead.
    if (a != b && isLevel(a) && isLevel(b)) {
        const auto& lv = tables_.levels;
        upperState = std::max(a, b);
        lowerState = std::min(a, b);
        const SpectrumLevel& up = lv[upperState];
        const SpectrumLevel& low = lv[lowerState];
        setLine(mainArrow, mainArrowX, up.mainY + arrowInset, mainArrowX, low.mainY - arrowInset);
        setLine(magnifiedArrow, magnifiedArrowX, up.magnifiedY + arrowInset, magnifiedArrowX,
                low.magnifiedY - arrowInset);
        const double energy = up.energy - low.energy;
        transitionText.caption = "n= " + intText(upperState) + " --> n=" + intText(lowerState) + ":   " +
                                 formatEnergy(energy, 2, false);
        if (energy != 0) transitionText.visible = true;
        mainArrow.visible = mainArrow.y1 != mainArrow.y2;
        magnifiedArrow.visible = upperState > firstMagnifiedLevel && magnifiedArrow.y1 != magnifiedArrow.y2;
        if (energy != 0 && mainArrow.visible) mainArrow.color = colorFromWavelength(wavelengthOf(energy));
        magnifiedArrow.color = mainArrow.color;
    } else {
        clearTransition();
    }
    hide(dragLine);
    showLevelTags();
    if (lowerState != 0) setSpectrumPointers(lineBetween(tables_, upperState, lowerState), 0, true);
    showListState();
}

void SpectrumWindow::setSpectrumPointers(int line, double x, bool show) {
    if (!isLine(line)) line = 0;
    if (!(x >= stripLeft && float(x - stripLeft) <= float(stripSpan))) show = line != 0;
    for (TextMark* m : {&frequencyCaption, &wavelengthCaption}) m->visible = show;
    pointerAbove.visible = pointerBelow.visible = show;
    pointerAcross.visible = line == 0 && show;
    if (!show) return;

    SpectrumLine& shown = tables_.lines[line];
    if (line != 0) {
        currentLine = line;
        x = shown.x;
    } else {
        const double energy = photonEnergyAtStripX(x);
        shown.frequency = frequencyOf(energy);
        shown.wavelength = wavelengthOf(energy);
    }
    setLine(pointerAbove, x, lineTop, x, markAboveTop);
    setLine(pointerBelow, x, lineBottom, x, markBelowBottom);
    setLine(pointerAcross, x, lineTop, x, lineBottom);
    frequencyCaption.caption = roundOff(shown.frequency, 2) + " Hz";
    wavelengthCaption.caption = roundOff(shown.wavelength * 1e9, -3) + " nm";
    placeCaption(wavelengthCaption, x);
    placeCaption(frequencyCaption, x);
}

void SpectrumWindow::placeCaption(TextMark& caption, double x) const {
    // Centred on the pointer, but never past the strip's ends.
    const double w = textWidth(caption.caption) / 2;
    double shift = double(roundEven((stripWidth - captionRightMargin) - (x + w)));
    if (shift > 0) shift = 0;
    if (x - w + shift < captionLeftLimit) shift = double(roundEven(w - x + captionLeftStart));
    caption.left = x - w + shift;
}

int SpectrumWindow::findLevel(float x, float y) {
    const int n = findLevelAt(tables_, x, y);
    if (n == 0) {
        hide(hoverTag);
        return 0;
    }
    const bool main = x < magnifiedLadderLeft;
    const SpectrumLevel& level = tables_.levels[n];
    place(hoverTag, levelCaption(n), main ? mainTagLeft : magnifiedTagLeft,
          (main ? level.mainY : level.magnifiedY) - tagRaise);
    hoverTag.visible = true;
    return n;
}

double SpectrumWindow::dragLineEnergy() const {
    if (!isLevel(dragStart)) return 0;
    // The scale is that of the ladder the pointer is over now.
    const double e = dragLine.x2 >= magnifiedLadderLeft ? energyAtMagnifiedY(dragLine.y2) : energyAtMainY(dragLine.y2);
    return std::fabs(e - tables_.levels[dragStart].energy);
}

std::uint32_t SpectrumWindow::dragLineColor() const { return colorFromWavelength(wavelengthOf(dragLineEnergy())); }

void SpectrumWindow::showDrag(float x, float y, int& level, DragMode mode) {
    dragLine.x2 = x;
    dragLine.y2 = y;
    if (!isLevel(level)) level = 0;
    switch (mode) {
    case DragMode::Press:
        if (level == 0) {
            dragStart = 0;
            hide(dragLine);
            upperState = lowerState = 0;
            return;
        }
        // Pressing on one end of the shown transition drags from its other end.
        if (level == upperState) {
            if (lowerState != 0) level = lowerState;
        } else if (level != lowerState) {
            upperState = level;
            lowerState = 0;
        } else if (upperState != 0) {
            level = upperState;
        }
        dragStart = level;
        dragX = x < magnifiedLadderLeft ? mainArrowX : magnifiedArrowX;
        dragY = x < magnifiedLadderLeft ? tables_.levels[level].mainY : tables_.levels[level].magnifiedY;
        dragLine.x1 = dragX;
        dragLine.y1 = dragY;
        dragLine.visible = true;
        hide(mainArrow);
        hide(magnifiedArrow);
        showLevelTags();
        return;
    case DragMode::Move: {
        if (dragStart == 0) return;
        dragLine.color = dragLineColor();
        SpectrumLine& free = tables_.lines[0];
        free.energy = dragLineEnergy();
        setSpectrumPointers(0, stripX(free.energy), true);
        return;
    }
    case DragMode::Release:
        hide(dragLine);
        showTransition(dragStart, level);
        if (dragStart != level) return;
        // A click on one level (or on nothing at all).
        if (level != 0 && links_.pickLevel) links_.pickLevel(level);
        hide(transitionText);
        selectListPosition(upperList, -1);
        selectListPosition(lowerList, -1);
        upperState = level;
        showLevelTags();
        setSpectrumPointers(0, 0, false);
        return;
    }
}

void SpectrumWindow::diagramPressed(float x, float y) {
    int level = findLevel(x, y);
    showDrag(x, y, level, DragMode::Press);
}

void SpectrumWindow::diagramMoved(float x, float y, bool buttonHeld) {
    int level = findLevel(x, y);  // the hover tag follows the pointer
    if (buttonHeld) showDrag(x, y, level, DragMode::Move);
}

void SpectrumWindow::diagramReleased(float x, float y) {
    int level = findLevel(x, y);
    showDrag(x, y, level, DragMode::Release);
}

void SpectrumWindow::stripMoved(float x, bool buttonHeld) {
    if (buttonHeld) setSpectrumPointers(0, x, true);
}

void SpectrumWindow::stripReleased(float x) { showSpectrumLine(findNearestSpectrumLine(tables_, x)); }

void SpectrumWindow::showSpectrumLine(int line) {
    // Into 1..190; 0 (and anything below) shows no line.
    line = line > 0 ? (line - 1) % lineCount + 1 : 0;
    showTransition(tables_.lines[line].upper, tables_.lines[line].lower);
}

void SpectrumWindow::showNextSpectrumLine(int direction) {
    const int x0 = tables_.lines[isLine(currentLine) ? currentLine : 0].x;
    int best = 4000, found = 0;
    for (int k = 1; k <= lineCount; ++k) {
        const int d = tables_.lines[k].x - x0;
        if (d == 0) continue;  // lines under the pointer are stepped over
        const int distance = direction < 0 ? -d : d;
        if (distance > 0 && distance < best) best = distance, found = k;
    }
    // Past either end the walk wraps: rightwards to the leftmost line
    // (20->19), leftwards to the rightmost (20->1).
    if (found == 0) found = direction > 0 ? lineCount : highestLevel - 1;
    showSpectrumLine(found);
}

void SpectrumWindow::keyDown(SpectrumKey key) {
    const int difference = levelInList(upperList) - levelInList(lowerList);
    switch (key) {
    case SpectrumKey::Left:
    case SpectrumKey::Right:
        if (focusedList == noList) showNextSpectrumLine(key == SpectrumKey::Left ? -1 : 1);
        return;
    case SpectrumKey::Up:
        if (focusedList == upperList) return;
        if (focusedList == lowerList) {
            if (difference == 2) focusedList = upperList;
            return;
        }
        // The line table's order: 2->1 ... 20->1, 3->2 ... 20->19, 2->1 again.
        if (++upperState > highestLevel) {
            if (++lowerState == highestLevel) lowerState = 1;
            upperState = lowerState + 1;
        }
        showTransition(upperState, lowerState);
        return;
    case SpectrumKey::Down:
        if (focusedList == lowerList) return;
        if (focusedList == upperList) {
            if (difference == 2) focusedList = lowerList;
            return;
        }
        if (--upperState == lowerState) {
            upperState = highestLevel;
            --lowerState;
        }
        if (lowerState == 0) lowerState = highestLevel - 1;
        showTransition(upperState, lowerState);
        return;
    }
}

void SpectrumWindow::energyLevelsClicked() {
    if (links_.openEnergyLevels) links_.openEnergyLevels();
}

}  // namespace vantrel
