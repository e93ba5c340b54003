#include "app/CommandLine.h"

#include "program/BuildInfo.h"

#include <QCommandLineParser>

namespace zr::app {

namespace {
// The usage line names the program as installed, whatever path started it and whether an
// application object exists yet.
QString usage(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    const QString prefix = QStringLiteral("Usage: ");
    if (text.startsWith(prefix)) {
        const qsizetype end = text.indexOf(QStringLiteral(" [options]"));
        if (end > 0) {
            text.replace(prefix.size(), end - prefix.size(), QLatin1String(program::kProgramName));
        }
    }
    return text;
}
} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Control program of the ZR-6040 octane meter."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays help on commandline options."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information."));
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Attach the built-in meter simulator."));
    parser.addOptions({help, version, simulate});

    CommandLine result;
    QString error;
    if (!parser.parse(arguments)) {
        error = parser.errorText();
    } else if (!parser.positionalArguments().isEmpty()) {
        error =
            QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().front());
    }
    if (!error.isEmpty()) {
        result.exitCode = kUsageExitCode;
        result.standardError = error + QLatin1Char('\n') + usage(parser);
    } else if (parser.isSet(help)) {
        result.standardOutput = usage(parser);
    } else if (parser.isSet(version)) {
        result.standardOutput = QStringLiteral("%1 %2\n").arg(
            QLatin1String(program::kProgramName), QLatin1String(program::kProgramVersion));
    } else {
        result.run = true;
        result.simulate = parser.isSet(simulate);
    }
    return result;
}

} // namespace zr::app
