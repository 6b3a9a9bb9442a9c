// Saves a picture of the emission spectrum window with the red Balmer line
// chosen by a drag from level 3 to level 2 (the pointer resting on level 2).
//
//   spectrum_shot FILE
#include <QApplication>
#include <QString>

#include <cstdio>

#include "spectrum/gui/spectrumview.h"

using namespace vantrel;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: spectrum_shot FILE.png\n");
        return 2;
    }
    QApplication app(argc, argv);
    SpectrumView view(SpectrumLinks{});
    view.show();
    SpectrumWindow& s = view.state();
    s.diagramPressed(1200, 590);
    s.diagramMoved(1200, 1090, true);
    s.diagramReleased(1200, 1090);
    s.diagramMoved(1200, 1090, false);  // the hover tag on level 2
    view.sync();
    QApplication::processEvents();
    return view.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
