// Windows that fit small screens and large scale factors: their contents
// scroll rather than push the window's minimum size past the screen.
#pragma once

#include <QScrollArea>

namespace vantrel {

// Holds a window's contents, as large as they like to be when there is room
// and scrolling when the window is made smaller than that.
class ContentsScrollArea : public QScrollArea {
public:
    ContentsScrollArea(QWidget* contents, QWidget* parent);
    // The contents' own size, not the few lines a scroll area offers.
    QSize sizeHint() const override;
};

// Puts a second window left of the main window, tops aligned, when there is
// room; otherwise its left edge is the screen's width less twice its own.
void placeBesideMainWindow(QWidget* window, const QWidget* mainWindow);

// Shrinks a window that is larger than its screen's free area, frame included.
void keepWithinScreen(QWidget* window);

}  // namespace vantrel
