#include <QApplication>
#include <QByteArray>
#include <QIcon>

#include <algorithm>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "app/gui/commandline.h"
#include "app/gui/gui.h"
#include "app/gui/picturefiles.h"
#include "app/headless.h"
#include "app/session.h"
#include "install/helpinstaller.h"
#include "app/platformhooks.h"

int main(int argc, char** argv) {
    const bool builder = argc > 0 && vantrel::invokedAsBuilder(argv[0]);
    std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    if (!builder) {
        vantrel::CommandLine commandLine = vantrel::readCommandLine(argc, argv);
        if (commandLine.exitStatus) return *commandLine.exitStatus;
        arguments = std::move(commandLine.arguments);
    }

    const bool display = vantrel::hasDisplay();
    // Without a display Qt would refuse to start; the offscreen platform
    // serves the headless run.
    if (!display && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt warns when the runtime directory is missing (root shells, CI); give it one.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray dir = QByteArray(vantrel::tempDir().c_str()) + "/vantrel-runtime-" + QByteArray::number(getuid());
        mkdir(dir.constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", dir);
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Vantrel");
    QApplication::setApplicationName("Vantrel");
    QApplication::setApplicationVersion(VANTREL_VERSION);
    // Desktops match the window to its entry and icon by this name.
    QGuiApplication::setDesktopFileName("io.github.vantrel.Vantrel");
    QApplication::setWindowIcon(QIcon(":/vantrel.png"));

    if (builder) {
        // The builder takes the command line as one text: a file name may hold blanks.
        std::string commandLine;
        for (const auto& a : arguments) commandLine += (commandLine.empty() ? "" : " ") + a;
        return vantrel::runInstallBuilder(display, commandLine);
    }
    // Sequence runs draw their pictures with Qt, with or without a display.
    vantrel::QtPictureWriter pictures;
    vantrel::Session session;
    session.pictures = &pictures;
    if (!display) return vantrel::runHeadless(session, arguments);
    return vantrel::runGui(session, app, arguments);
}
