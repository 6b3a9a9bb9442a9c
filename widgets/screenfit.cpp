#include "widgets/screenfit.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace vantrel {

ContentsScrollArea::ContentsScrollArea(QWidget* contents, QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setWidget(contents);
}

QSize ContentsScrollArea::sizeHint() const {
    const int frame = 2 * frameWidth();
    return widget() ? widget()->sizeHint() + QSize(frame, frame) : QScrollArea::sizeHint();
}

void placeBesideMainWindow(QWidget* window, const QWidget* mainWindow) {
    const QScreen* screen = mainWindow && mainWindow->screen() ? mainWindow->screen() : window->screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect avail = screen->availableGeometry();
    const int w = std::max(window->frameGeometry().width(), window->width());
    int left = avail.left() + avail.width() - 2 * w + 3;  // 50 twips
    int top = avail.top();
    if (mainWindow && mainWindow->isVisible()) {
        const QRect main = mainWindow->frameGeometry();
        if (main.left() - w >= avail.left()) left = std::min(left, main.left() - w);
        top = main.top();
    }
    window->move(std::max(left, avail.left()), std::max(top, avail.top()));
}

void keepWithinScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    // The frame is known only once the window is shown.
    const QSize frame = window->isVisible() ? window->frameGeometry().size() - window->size() : QSize(0, 0);
    const QSize room = screen->availableGeometry().size() - frame;
    if (window->width() > room.width() || window->height() > room.height()) window->resize(window->size().boundedTo(room));
}

}  // namespace vantrel
