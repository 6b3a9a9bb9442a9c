#include "app/gui/gui.h"

#include <QApplication>
#include <QTimer>

#include "app/gui/mainwindowview.h"
#include "app/gui/qtdialogs.h"
#include "app/mainwindow.h"
#include "engine/platform.h"
#include "output/radial.h"

namespace vantrel {

int rungui(QApplication& app, const std::string& commandline) {
    QtDialogs qtdialogs;
    setdialogs(&qtdialogs);
    // Closing the main window ends the program, whatever else is open.
    QApplication::setQuitOnLastWindowClosed(false);

    int status = 0;
    {
        // The window exists before the start-up steps, which already draw
        // the radial plot and may ask questions.
        MainWindowView view;
        installreactions();
        view.installhooks();
        QObject::connect(&view, &MainWindowView::windowclosed, &app, [&qtdialogs] {
            qtdialogs.setclosing(true);
            QApplication::closeAllWindows();
            QCoreApplication::quit();
        });
        if (!loadform()) {
            status = 1;
        } else {
            view.syncall();
            view.placeatrightedge();
            view.show();
            // The window frame is known now.
            QTimer::singleShot(0, &view, [&view] { view.placeatrightedge(); });
            afterShow(commandline);
            view.syncall();
            // Closed during a sequence run: nothing left to wait for.
            if (!view.closed()) status = app.exec();
        }
    }
    setimage1canvas(nullptr);
    setdialogs(nullptr);
    return status;
}

}  // namespace vantrel
