#include "app/command_line.h"

#include "app/version.h"
#include "core/product.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace command_line {

namespace {

constexpr char kProgramName[] = "harlune";

QString description()
{
    return QCoreApplication::translate(
        "command_line",
        "读取串口上的三通道电流仪器：找到仪器应答的端口，显示实时电流，\n"
        "读取仪器中存储的数据组并保存为工作簿。\n"
        "\n"
        "在 Windows 上，端口 n 就是 COMn。在其他系统上，它是端口目录（--port-dir，\n"
        "否则为环境变量 HARLUNE_PORT_DIR）中的条目 COMn；没有端口目录时：\n"
        "COM1-COM8 为 /dev/ttyUSB0-7，COM9-COM12 为 /dev/ttyACM0-3，\n"
        "COM13-COM16 为 /dev/ttyS0-3。");
}

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

// What is wrong, on one line after the program's name, in the language
// already read.
Parsed failure(const Parsed &sofar, const QString &what)
{
    return parsed_command_line::failure(kProgramName, what, sofar.options);
}

}  // namespace

Parsed parse(const QStringList &arguments, const QProcessEnvironment &environment)
{
    QCommandLineParser parser;
    // Qt's options are written with one dash (-platform xcb), as are -h and -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(description());
    // Not addHelpOption(): its --help-all would list Qt's options as the
    // application object knows them, and there is none yet.
    const QCommandLineOption help(
        {QStringLiteral("h"), QStringLiteral("help")},
        QCoreApplication::translate("command_line", "显示本帮助并退出。"));
    parser.addOption(help);
    const QCommandLineOption showVersion(
        {QStringLiteral("v"), QStringLiteral("version")},
        QCoreApplication::translate("command_line", "显示版本并退出。"));
    parser.addOption(showVersion);
    const port_options::Declared ports = port_options::declare(parser);
    const QCommandLineOption language = language::declare(parser);
    addQtOptions(parser);

    const bool parsed = parser.parse(arguments);
    Parsed result;
    const language::Choice chosen = language::read(parser, language, environment);
    result.options.language = chosen.language;
    result.options.languageWarning = chosen.warning;
    if (!parsed)
        return failure(result, parsed_command_line::parserError(parser, arguments));
    if (!parser.positionalArguments().isEmpty())
        return failure(result, QCoreApplication::translate("command_line", "多余的参数 '%1'")
                                   .arg(parser.positionalArguments().constFirst()));

    if (parser.isSet(help)) {
        result.outcome = Parsed::Outcome::ShowHelp;
        result.text = parsed_command_line::helpText(
            parser, QCoreApplication::translate("command_line", "用法：%1 [选项]")
                        .arg(QLatin1String(kProgramName)));
        return result;
    }
    if (parser.isSet(showVersion)) {
        result.outcome = Parsed::Outcome::ShowVersion;
        result.text =
            QStringLiteral("%1 %2\n").arg(product::title(), QLatin1String(version::kText));
        return result;
    }

    if (!chosen.error.isEmpty())
        return failure(result, chosen.error);
    const QString wrongPort = port_options::read(parser, ports, &result.options);
    if (!wrongPort.isEmpty())
        return failure(result, wrongPort);
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
    return QStringLiteral("%1: %2").arg(
        QLatin1String(kProgramName),
        QCoreApplication::translate("command_line",
                                    "没有可以打开窗口的显示器（DISPLAY 和 WAYLAND_DISPLAY "
                                    "都没有设置）；请在桌面会话中启动它"));
}

}  // namespace command_line
