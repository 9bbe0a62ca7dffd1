#include "app/command_line.h"

#include "app/version.h"
#include "core/product.h"

#include <QCommandLineParser>

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

Parsed failure(const QString &what)
{
    return parsed_command_line::failure<Options>(kProgramName, what);
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
    const port_options::Declared ports = port_options::declare(parser);
    addQtOptions(parser);

    if (!parser.parse(arguments))
        return failure(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return failure(QStringLiteral("unexpected argument '%1'")
                           .arg(parser.positionalArguments().constFirst()));

    Parsed result;
    if (parser.isSet(help)) {
        result.outcome = Parsed::Outcome::ShowHelp;
        result.text = parsed_command_line::helpText(
            parser, QStringLiteral("Usage: %1 [options]").arg(QLatin1String(kProgramName)));
        return result;
    }
    if (parser.isSet(showVersion)) {
        result.outcome = Parsed::Outcome::ShowVersion;
        result.text =
            QStringLiteral("%1 %2\n").arg(product::title(), QLatin1String(version::kText));
        return result;
    }

    const QString wrongPort = port_options::read(parser, ports, &result.options);
    if (!wrongPort.isEmpty())
        return failure(wrongPort);
    result.options.qtDisplayOption =
        parser.isSet(QStringLiteral("platform")) || parser.isSet(QStringLiteral("display"));
    result.outcome = Parsed::Outcome::Run;
    return result;
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
