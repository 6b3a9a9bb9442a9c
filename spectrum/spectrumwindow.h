// The emission spectrum window as plain state: the level diagram with its
// tags, arrows and rubber band, the spectrum strip with its pointer marks
// and captions, and the two state lists, with every reaction to the user.
// A view draws this state and feeds it pointer, key and list events; the
// window reaches the rest of the program only through SpectrumLinks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "spectrum/spectrummodel.h"

namespace vantrel {

struct TextMark {
    std::string caption;
    double left = 0, top = 0;
    bool visible = false;
};

struct LineMark {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool visible = false;
    std::uint32_t color = 0;
};

// A drop-down list: its items and the selected position (-1 for none).
struct StateList {
    std::vector<std::string> items;
    int position = -1;
    std::string text() const;  // the selected item, "" for none
};

struct SpectrumLinks {
    // A level clicked on its own becomes the main window's n (l, m kept).
    std::function<void(int n)> pickLevel;
    // "Energy Levels": this window goes, the level window comes.
    std::function<void()> openEnergyLevels;
    // Width of a caption in twips, as the view draws it.
    std::function<double(const std::string&)> textWidth;
};

enum class DragMode { Press, Move, Release };
enum class SpectrumKey { Left, Up, Right, Down };

inline const std::string selectStateItem = "SELECT A STATE";
// The two state lists, which also index SpectrumWindow::lists.
enum SpectrumList { noList = -1, upperList, lowerList };

// Drawing area of the two surfaces, in twips.
inline constexpr double diagramWidth = 4095, diagramHeight = 4455;
inline constexpr double stripWidth = 4095, stripHeight = 1335;

class SpectrumWindow {
public:
    explicit SpectrumWindow(SpectrumLinks links = {});

    const SpectrumTables& tables() const { return tables_; }

    // What the surfaces show. Axis captions, ticks and the level lines
    // are fixed once the window is built.
    std::vector<TextMark> axisCaptions;
    std::vector<LineMark> axisTicks, levelLines;  // black
    StateList lists[2];
    SpectrumList focusedList = noList;  // the list with the keyboard focus

    TextMark hoverTag;                         // red, under the pointer
    TextMark upperTag, upperMagnifiedTag;      // upper state, both ladders
    TextMark lowerTag, lowerMagnifiedTag;      // lower state
    TextMark transitionText;                   // "n= 3 --> n=2:   0.303 attoJoule"
    LineMark mainArrow, magnifiedArrow, dragLine;
    LineMark pointerAbove, pointerBelow, pointerAcross;  // white, on the strip
    TextMark wavelengthCaption, frequencyCaption;

    int upperState = 0, lowerState = 0;  // 0 = none; upper > lower when both set
    int currentLine = 0;                 // the line the pointers were last put on
    int dragStart = 0;                   // level the rubber band starts from, 0 = no drag
    double dragX = 0, dragY = 0;

    // Selecting a position, by the user or by code, runs the list's
    // reaction; the position the list already has does nothing.
    void selectListPosition(SpectrumList list, int position);

    // Pointer on the level diagram.
    void diagramPressed(float x, float y);
    void diagramMoved(float x, float y, bool buttonHeld);
    void diagramReleased(float x, float y);
    // Pointer on the spectrum strip.
    void stripMoved(float x, bool buttonHeld);
    void stripReleased(float x);
    // Arrow keys, seen before the focused list.
    void keyDown(SpectrumKey key);
    // The "Energy Levels" link.
    void energyLevelsClicked();

    // The transition between levels a and b, in either order; anything
    // that is not a pair of different levels clears the selection.
    void showTransition(int a, int b);
    void showDrag(float x, float y, int& level, DragMode mode);
    void showNextSpectrumLine(int direction);
    void showSpectrumLine(int line);
    // Line 0 puts a free pointer at x; show is kept only inside the strip.
    void setSpectrumPointers(int line, double x, bool show);
    // The level under the point (0 for none); moves the hover tag.
    int findLevel(float x, float y);

    // Energy of the photon a jump from the drag start to the rubber
    // band's end would emit, and its colour.
    double dragLineEnergy() const;
    std::uint32_t dragLineColor() const;

private:
    void fillUpperList();
    void fillLowerList();
    void listClicked(SpectrumList list);
    void showListState();
    void showLevelTags();
    void buildAxes();
    void buildLevelLines();
    void placeCaption(TextMark& caption, double x) const;
    double textWidth(const std::string& text) const;
    int levelInList(SpectrumList list) const;
    void clearTransition();

    SpectrumLinks links_;
    SpectrumTables tables_;
};

}  // namespace vantrel
