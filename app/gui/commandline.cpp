#include "app/gui/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

#include <iostream>

namespace vantrel {

CommandLine readCommandLine(int& argc, char** argv) {
    QStringList words;
    for (int i = 0; i < argc; ++i) words << QString::fromLocal8Bit(argv[i]);
    const QString program = words.isEmpty() ? QStringLiteral("vantrel") : QFileInfo(words.first()).fileName();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Vantrel samples the orbitals of one-electron atoms into point clouds and writes pages that show them.\n"
        "With a display it opens its window; without one it runs the sequence file and exits.\n"
        "Files go to $VANTREL_HOME (or ~/vantrel, or /tmp/vantrel), pages into its folder files.\n"
        "Qt's own options are taken from the environment (QT_QPA_PLATFORM, QT_SCALE_FACTOR, ...)."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("CLEAR"), QStringLiteral("Empty the orbital cache first."),
                                 QStringLiteral("[CLEAR]"));
    parser.addPositionalArgument(
        QStringLiteral("sequence-file"),
        QStringLiteral("Compute the orbitals its lines name (see input.txt in the main directory); "
                       "a name beginning with - follows --."),
        QStringLiteral("[sequence-file]"));

    CommandLine result;
    if (!parser.parse(words)) {
        std::cerr << program.toStdString() << ": " << parser.errorText().toStdString() << "\nTry '"
                  << program.toStdString() << " --help' for more information." << std::endl;
        result.exitStatus = 2;
        return result;
    }
    if (parser.isSet(help)) {
        // The usage line names the program as it was started, which takes an
        // application object; a plain one creates nothing.
        QCoreApplication core(argc, argv);
        std::cout << parser.helpText().toStdString() << std::flush;
        result.exitStatus = 0;
        return result;
    }
    if (parser.isSet(version)) {
        std::cout << "Vantrel " VANTREL_VERSION << std::endl;
        result.exitStatus = 0;
        return result;
    }
    for (const QString& word : parser.positionalArguments()) result.arguments.push_back(word.toLocal8Bit().toStdString());
    return result;
}

}  // namespace vantrel
