#include "app/gui/screenfit.h"

#include <QGuiApplication>
#include <QScreen>

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

void keepWithinScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    // The frame is known only once the window is shown.
    const QSize frame = window->isVisible() ? window->frameGeometry().size() - window->size() : QSize(0, 0);
    const QSize room = screen->availableGeometry().size() - frame;
    if (window->width() > room.width() || window->height() > room.height()) window->resize(window->size().boundedTo(room));
}

}  // namespace vantrel
