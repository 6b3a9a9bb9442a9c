#include "app/gui/gui.h"

#include <QApplication>
#include <QTimer>

#include "app/gui/aboutbox.h"
#include "app/gui/loadchooser.h"
#include "app/gui/mainwindowview.h"
#include "app/gui/qtdialogs.h"
#include "app/gui/settings.h"
#include "app/gui/statusprogress.h"
#include "app/mainwindow.h"
#include "install/helpinstaller.h"
#include "app/gui/levelwindowlink.h"
#include "app/platformhooks.h"
#include "app/radialview.h"
#include "app/session.h"
#include "app/gui/spectrumwindowlink.h"

namespace vantrel {

int runGui(Session& s, QApplication& app, const std::vector<std::string>& arguments) {
    QtDialogs qtDialogs;
    Dialogs* const previous = s.dialogs;  // back when the window is gone
    s.dialogs = &qtDialogs;
    // Closing the main window ends the program, whatever else is open.
    QApplication::setQuitOnLastWindowClosed(false);

    int status = 0;
    {
        // The window exists before the start-up steps, which already draw
        // the radial plot and may ask questions.
        MainWindowView view(s);
        qtDialogs.setMainWindow(&view);
        installReactions(s);
        view.installHooks();
        LevelWindowLink levels(s, &view, [&view] { view.syncAll(); });
        SpectrumWindowLink spectrum(s, &view);
        installAboutBox(s, &view);
        new StatusProgress(view);  // the window owns these two
        new LoadChooser(view);
        QObject::connect(&view, &MainWindowView::windowClosed, &app, [&qtDialogs] {
            qtDialogs.setClosing(true);
            QApplication::closeAllWindows();
            QCoreApplication::quit();
        });
        if (!loadWindow(s)) {
            status = 1;
        } else {
            WindowSettings settings(view);
            const bool placed = settings.restore();
            view.syncAll();
            if (!placed) view.placeAtRightEdge();
            view.show();
            // The window frame is known now.
            if (!placed) QTimer::singleShot(0, &view, [&view] { view.placeAtRightEdge(); });
            afterShow(s, arguments);
            if (arguments.empty()) settings.restorePlotMode();
            view.syncAll();
            // Closed during a sequence run: nothing left to wait for.
            if (!view.closed()) status = app.exec();
            settings.save();
        }
    }
    s.radialPlot.setCanvas(nullptr);
    s.dialogs = previous;
    return status;
}

int runInstallBuilder(bool display, const std::string& commandLine) {
    QtDialogs qtDialogs;
    ConsoleDialogs console;
    return buildSelfContained(display ? static_cast<Dialogs&>(qtDialogs) : console, commandLine);
}

}  // namespace vantrel
