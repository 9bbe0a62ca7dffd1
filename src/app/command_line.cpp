#include "app/command_line.h"

#include "app/version.h"
#include "core/link/port_number.h"
#include "core/product.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace command_line {

namespace {

constexpr char kProgramName[] = "harlune";

const QString kDescription =
    QStringLiteral("Reads a three-channel current instrument on a serial port: finds the port it\n"
                   "answers on, shows the live currents, reads the stored groups and saves them\n"
                   "to a workbook.\n"
                   "\n"
                   "Port n is COMn on Windows. Elsewhere it is the entry COMn of the port\n"
                   "directory (--port-dir, otherwise the environment variable HARLUNE_PORT_DIR),\n"
                   "and without one: COM1-COM8 /dev/ttyUSB0-7, COM9-COM12 /dev/ttyACM0-3,\n"
                   "COM13-COM16 /dev/ttyS0-3.");

// Qt's own options, which QApplication takes out of the command line when it
// is created. They are known here so they pass through; the help leaves them out.
struct QtOption {
    const char *name;
    bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},     {"platformpluginpath", true}, {"platformtheme", true},
    {"plugin", true},       {"qwindowgeometry", true},    {"qwindowicon", true},
    {"qwindowtitle", true}, {"reverse", false},           {"session", true},
    {"display", true},      {"geometry", true},           {"style", true},
    {"stylesheet", true},   {"widgetcount", false},
};

void addQtOptions(QCommandLineParser &parser)
{
    for (const QtOption &qt : kQtOptions) {
        QCommandLineOption option(QString::fromLatin1(qt.name));
        if (qt.takesValue)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

// QCommandLineParser names the program from the application object, which
// does not exist yet when the command line is read.
QString helpText(const QCommandLineParser &parser)
{
    QString text = parser.helpText();
    const qsizetype firstLineEnd = text.indexOf(QLatin1Char('\n'));
    text.replace(0, firstLineEnd,
                 QStringLiteral("Usage: %1 [options]").arg(QLatin1String(kProgramName)));
    return text;
}

Parsed failure(const QString &what)
{
    Parsed result;
    result.outcome = Parsed::Outcome::Error;
    result.text = QStringLiteral("%1: %2").arg(QLatin1String(kProgramName), what);
    return result;
}

}  // namespace

Parsed parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    // Qt's options are written with one dash (-platform xcb), as are -h and -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(kDescription);
    // Not addHelpOption(): its --help-all would list Qt's options as the
    // application object knows them, and there is none yet.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    parser.addOption(help);
    const QCommandLineOption showVersion({QStringLiteral("v"), QStringLiteral("version")},
                                         QStringLiteral("Show the version and exit."));
    parser.addOption(showVersion);
    const QCommandLineOption portDir(
        QStringLiteral("port-dir"),
        QStringLiteral("Take port n as the entry COMn in <dir> (not on Windows); wins over "
                       "HARLUNE_PORT_DIR."),
        QStringLiteral("dir"));
    parser.addOption(portDir);
    const QCommandLineOption firstPort(
        QStringLiteral("port"),
        QStringLiteral("Probe port <n> first when searching for the instrument (%1 to %2).")
            .arg(port_number::kFirstSearched)
            .arg(port_number::kHighestSearched),
        QStringLiteral("n"));
    parser.addOption(firstPort);
    addQtOptions(parser);

    if (!parser.parse(arguments))
        return failure(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return failure(QStringLiteral("unexpected argument '%1'")
                           .arg(parser.positionalArguments().constFirst()));

    Parsed result;
    if (parser.isSet(help)) {
        result.outcome = Parsed::Outcome::ShowHelp;
        result.text = helpText(parser);
        return result;
    }
    if (parser.isSet(showVersion)) {
        result.outcome = Parsed::Outcome::ShowVersion;
        result.text =
            QStringLiteral("%1 %2\n").arg(product::title(), QLatin1String(version::kText));
        return result;
    }

    if (parser.isSet(portDir)) {
        const QFileInfo dir(parser.value(portDir));
        if (!dir.isDir())
            return failure(
                QStringLiteral("--port-dir: '%1' is not a directory").arg(dir.filePath()));
        result.options.portDir = dir.absoluteFilePath();
    }
    if (parser.isSet(firstPort)) {
        bool ok = false;
        const int n = parser.value(firstPort).toInt(&ok);
        if (!ok || n < port_number::kFirstSearched || n > port_number::kHighestSearched)
            return failure(QStringLiteral("--port takes a port number from %1 to %2, not '%3'")
                               .arg(port_number::kFirstSearched)
                               .arg(port_number::kHighestSearched)
                               .arg(parser.value(firstPort)));
        result.options.firstPort = n;
    }
    result.options.qtDisplayOption =
        parser.isSet(QStringLiteral("platform")) || parser.isSet(QStringLiteral("display"));
    result.outcome = Parsed::Outcome::Run;
    return result;
}

QString comboTextBefore(int firstPort)
{
    const int before =
        firstPort == port_number::kFirstSearched ? port_number::kHighestSearched : firstPort - 1;
    return QString::number(before);
}

bool namesDisplay(const Options &options, const QProcessEnvironment &environment)
{
    if (options.qtDisplayOption)
        return true;
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!environment.value(QString::fromLatin1(name)).isEmpty())
            return true;
    }
    return false;
}

QString noDisplayMessage()
{
    return QStringLiteral("%1: no display to open the window on (neither DISPLAY nor "
                          "WAYLAND_DISPLAY is set); start it from a desktop session")
        .arg(QLatin1String(kProgramName));
}

}  // namespace command_line
