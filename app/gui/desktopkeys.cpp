#include "app/gui/desktopkeys.h"

#include <QAbstractButton>
#include <QAction>
#include <QShortcut>

namespace vantrel {

void installDesktopKeys(QWidget* window, QAction* help, QAction* exit, QAbstractButton* load) {
    // On the menu items, so that the menus show them. Written out: not every
    // platform theme has a binding for the standard keys.
    help->setShortcut(QKeySequence(Qt::Key_F1));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    // A button has no place to show it; a disabled "&Load" ignores the click.
    auto* open = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_O), window);
    QObject::connect(open, &QShortcut::activated, load, &QAbstractButton::click);
}

}  // namespace vantrel
