#include "cli/cli_options.h"

#include "app/version.h"
#include "cli/output_file.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

namespace cli_options {

namespace {

constexpr char kProgramName[] = "harlune-cli";
constexpr double kMsPerSecond = 1000.0;

// The texts are made when the command line is read, after the translators
// are installed.
QString usage()
{
    return QCoreApplication::translate(
        "cli_options",
        "用法：harlune-cli [--port-dir DIR] [--port N] [--timeout S] [--language zh|en] "
        "命令 [选项]");
}

QString description()
{
    return QCoreApplication::translate(
        "cli_options",
        "不用窗口读取串口上的三通道电流仪器：找到仪器应答的端口，输出实时电流，\n"
        "把存储的数据组读入文件。消息为中文（--language en 为英文）；标准输出上\n"
        "只有数据。\n"
        "\n"
        "命令：\n"
        "  find                        像窗口一样查找 COM1..COM16，输出\n"
        "                              \"COM<n> <设备>\" 后退出\n"
        "  live [--count N] [--csv]    每个实时读数（每 500 毫秒）输出一行，\n"
        "                              共 N 行，或直到 Ctrl+C\n"
        "  read [--range A-B | --all] -o FILE [--seconds | --no-seconds] [--quiet]\n"
        "                              读取第 A..B 组（两端顺序不限，从第 1 组起）或所有存储的\n"
        "                              数据组并写入 FILE；格式由扩展名决定：\n"
        "                              .xlsx .xls .xlsm 与窗口的保存相同，.csv，\n"
        "                              或用 \"-\" 把 CSV 写到标准输出；进度显示在\n"
        "                              标准错误上\n"
        "  count                       输出存储的数据组数");
}

QString epilogue()
{
    return QCoreApplication::translate(
        "cli_options",
        "\n"
        "read 的 CSV：首行是 group,time,i1_a,i2_a,i3_a,i1,i2,i3,charge，之后每个\n"
        "读到的数据组一行。time 为 ISO 8601（2001-11-15T14:20:41，不带秒时为\n"
        "2001-11-15T14:20）；i1_a 到 i3_a 是以安培为单位的电流，写成普通小数，\n"
        "OL、err 和没有单位的读数为空；i1 到 i3 是表格显示的文字（28mA、OL、err）。\n"
        "live --csv 输出 time,i1_a,i2_a,i3_a,i1,i2,i3，时间为计算机的本地时间，\n"
        "ISO 8601 格式，精确到毫秒。\n"
        "\n"
        "退出码：\n"
        "  0  成功；标准输出的读取端提前关闭（| head）也是 0，不显示消息；没有\n"
        "     --count 的 live 由 Ctrl+C、SIGTERM 或 SIGHUP 结束\n"
        "  2  用法错误：未知的选项、错误的范围、未知的扩展名\n"
        "  3  --timeout 之内没有仪器应答\n"
        "  4  仪器断开或不再应答、数据连续出错，或在完成之前收到了 Ctrl+C、\n"
        "     SIGTERM 或 SIGHUP；read 仍写出读到的数据组（见下），消息会写明是哪些组\n"
        "  5  无法写入 FILE 或标准输出（如磁盘已满）；同名的原有文件保持不变\n"
        "\n"
        "FILE：已有的文件只会被完整的结果替换。没有读到数据组时它保持原样；读取\n"
        "中断时，读到的数据组写入旁边的 NAME.partial.EXT（已被占用时为\n"
        "NAME.partial-2.EXT 等），消息会写明文件名。原来没有的文件写入读到的数据组。\n"
        "命名管道和设备（如 /dev/stdout）直接写入；没有上述扩展名时写 CSV。\n"
        "\n"
        "在 Windows 上，端口 n 就是 COMn。在其他系统上，它是端口目录（--port-dir，\n"
        "否则为环境变量 HARLUNE_PORT_DIR）中的条目 COMn；没有端口目录时：\n"
        "COM1-COM8 为 /dev/ttyUSB0-7，COM9-COM12 为 /dev/ttyACM0-3，\n"
        "COM13-COM16 为 /dev/ttyS0-3。\n");
}

// The commands by name, as typed.
struct CommandName {
    const char *name;
    Command command;
};
constexpr CommandName kCommands[] = {
    {"find", Command::Find},
    {"live", Command::Live},
    {"read", Command::Read},
    {"count", Command::Count},
};

// Two whole numbers, the ends of a range either way round.
const QRegularExpression kRange(QStringLiteral("^(\\d+)-(\\d+)$"));

Parsed failure(const Options &sofar, const QString &what)
{
    return parsed_command_line::failure(kProgramName, what, sofar);
}

// A whole number of at least 1, or nothing.
std::optional<int> positiveWhole(const QString &text)
{
    bool ok = false;
    const int n = text.toInt(&ok);
    return ok && n >= 1 ? std::optional<int>(n) : std::nullopt;
}

// Seconds as milliseconds, within the range a timer can wait.
std::optional<int> timeoutMs(const QString &text)
{
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    const double ms = seconds * kMsPerSecond;
    if (!ok || !(ms >= kShortestTimeoutMs) || !(seconds <= kLongestTimeoutS))
        return std::nullopt;
    return int(std::lround(ms));
}

// --timeout's range as the help and a wrong value name it: "0.001 至 2147483".
QString timeoutRange()
{
    return QCoreApplication::translate("cli_options", "%1 至 %2")
        .arg(QString::number(kShortestTimeoutMs / kMsPerSecond))
        .arg(kLongestTimeoutS);
}

// Every option, as the parser knows it. Not copied: commandOptions points
// into it.
struct Declared {
    Declared() = default;
    Declared(const Declared &) = delete;
    Declared &operator=(const Declared &) = delete;

    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QCoreApplication::translate("command_line", "显示本帮助并退出。")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QCoreApplication::translate("command_line", "显示版本并退出。")};
    QCommandLineOption timeout{
        QStringLiteral("timeout"),
        QCoreApplication::translate(
            "cli_options", "查找仪器或等待它的组数时，<s> 秒内没有仪器就放弃（%1 秒，默认 %2）。")
            .arg(timeoutRange())
            .arg(kDefaultTimeoutMs / int(kMsPerSecond)),
        QStringLiteral("s")};
    QCommandLineOption count{
        QStringLiteral("count"),
        QCoreApplication::translate("cli_options", "live：输出 <n> 个读数后停止。"),
        QStringLiteral("n")};
    QCommandLineOption csv{
        QStringLiteral("csv"),
        QCoreApplication::translate("cli_options", "live：输出 CSV 行而不是文字。")};
    QCommandLineOption range{
        QStringLiteral("range"),
        QCoreApplication::translate("cli_options", "read：第 <a> 到 <b> 组，两端顺序不限。"),
        QStringLiteral("a-b")};
    QCommandLineOption all{
        QStringLiteral("all"),
        QCoreApplication::translate("cli_options", "read：所有存储的数据组（默认）。")};
    QCommandLineOption output{
        {QStringLiteral("o"), QStringLiteral("output")},
        QCoreApplication::translate("cli_options", "read：把数据组写入 <file>。"),
        QStringLiteral("file")};
    QCommandLineOption withSeconds{
        QStringLiteral("seconds"),
        QCoreApplication::translate("cli_options", "read：时间带秒，不论仪器怎样设置。")};
    QCommandLineOption withoutSeconds{
        QStringLiteral("no-seconds"),
        QCoreApplication::translate("cli_options", "read：时间不带秒，不论仪器怎样设置。")};
    QCommandLineOption quiet{
        QStringLiteral("quiet"),
        QCoreApplication::translate("cli_options", "read：不在标准错误上显示进度。")};

    // Each command's own options, and the command each belongs to.
    const std::vector<std::pair<const QCommandLineOption *, Command>> commandOptions{
        {&count, Command::Live},          {&csv, Command::Live},
        {&range, Command::Read},          {&all, Command::Read},
        {&output, Command::Read},         {&withSeconds, Command::Read},
        {&withoutSeconds, Command::Read}, {&quiet, Command::Read},
    };
};

// The options of live; what is wrong, or empty.
QString readLive(const QCommandLineParser &parser, const Declared &d, Options *options)
{
    if (parser.isSet(d.count)) {
        const std::optional<int> n = positiveWhole(parser.value(d.count));
        if (!n)
            return QCoreApplication::translate("cli_options",
                                               "--count 需要从 1 起的整数，不是 '%1'")
                .arg(parser.value(d.count));
        options->count = *n;
    }
    options->csv = parser.isSet(d.csv);
    return QString();
}

// The options of read; what is wrong, or empty.
QString readRead(const QCommandLineParser &parser, const Declared &d, Options *options)
{
    if (parser.isSet(d.range) && parser.isSet(d.all))
        return QCoreApplication::translate("cli_options", "--range 和 --all 不能同时使用");
    if (parser.isSet(d.range)) {
        const QRegularExpressionMatch m = kRange.match(parser.value(d.range));
        if (!m.hasMatch())
            return QCoreApplication::translate("cli_options",
                                               "--range 需要写成 A-B 的两个组号，不是 '%1'")
                .arg(parser.value(d.range));
        options->all = false;
        options->rangeFrom = m.captured(1);
        options->rangeTo = m.captured(2);
    }
    if (!parser.isSet(d.output))
        return QCoreApplication::translate(
            "cli_options", "read 需要 -o FILE（.xlsx、.xls、.xlsm、.csv，或用 - 表示标准输出）");
    options->output = parser.value(d.output);
    if (!OutputFile::forPath(options->output))
        return QCoreApplication::translate(
                   "cli_options",
                   "-o：'%1' 的扩展名未知（可用 .xlsx、.xls、.xlsm、.csv，或用 - 表示标准输出）")
            .arg(options->output);
    if (parser.isSet(d.withSeconds) && parser.isSet(d.withoutSeconds))
        return QCoreApplication::translate("cli_options", "--seconds 和 --no-seconds 不能同时使用");
    if (parser.isSet(d.withSeconds))
        options->seconds = Seconds::With;
    if (parser.isSet(d.withoutSeconds))
        options->seconds = Seconds::Without;
    options->quiet = parser.isSet(d.quiet);
    return QString();
}

// The options every command takes; what is wrong, or empty.
QString readCommon(const QCommandLineParser &parser, const Declared &d, Options *options)
{
    if (parser.isSet(d.timeout)) {
        const std::optional<int> ms = timeoutMs(parser.value(d.timeout));
        if (!ms)
            return QCoreApplication::translate("cli_options",
                                               "--timeout 需要 %1 之间的秒数，不是 '%2'")
                .arg(timeoutRange(), parser.value(d.timeout));
        options->timeoutMs = *ms;
    }
    return QString();
}

// The command named by the one positional argument; what is wrong, or empty.
QString readCommand(const QStringList &positional, Options *options)
{
    if (positional.isEmpty())
        return QCoreApplication::translate("cli_options",
                                           "没有给出命令（find、live、read 或 count）；见 --help");
    if (positional.size() > 1)
        return QCoreApplication::translate("command_line", "多余的参数 '%1'").arg(positional.at(1));
    const auto named =
        std::find_if(std::begin(kCommands), std::end(kCommands), [&](const CommandName &c) {
            return positional.first() == QLatin1String(c.name);
        });
    if (named == std::end(kCommands))
        return QCoreApplication::translate("cli_options",
                                           "未知的命令 '%1'（可用 find、live、read 或 count）")
            .arg(positional.first());
    options->command = named->command;
    return QString();
}

}  // namespace

Parsed parse(const QStringList &arguments, const QProcessEnvironment &environment)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    const Declared d;
    parser.addOption(d.help);
    parser.addOption(d.version);
    const port_options::Declared ports = port_options::declare(parser);
    parser.addOption(d.timeout);
    const QCommandLineOption language = language::declare(parser);
    for (const auto &[option, owner] : d.commandOptions)
        parser.addOption(*option);

    const bool parsed = parser.parse(arguments);
    Parsed result;
    Options &options = result.options;
    const language::Choice chosen = language::read(parser, language, environment);
    options.language = chosen.language;
    options.languageWarning = chosen.warning;
    if (!parsed)
        return failure(options, parsed_command_line::parserError(parser, arguments));
    if (parser.isSet(d.help)) {
        result.outcome = Parsed::Outcome::ShowHelp;
        result.text = parsed_command_line::helpText(parser, usage()) + epilogue();
        return result;
    }
    if (parser.isSet(d.version)) {
        result.outcome = Parsed::Outcome::ShowVersion;
        result.text = QStringLiteral("%1 %2\n").arg(QLatin1String(kProgramName),
                                                    QLatin1String(version::kText));
        return result;
    }

    QString wrong = chosen.error;
    if (wrong.isEmpty())
        wrong = readCommand(parser.positionalArguments(), &options);
    if (wrong.isEmpty())
        wrong = port_options::read(parser, ports, &options);
    if (wrong.isEmpty())
        wrong = readCommon(parser, d, &options);
    for (const auto &[option, owner] : d.commandOptions) {
        if (wrong.isEmpty() && parser.isSet(*option) && owner != options.command)
            wrong = QCoreApplication::translate("cli_options", "--%1 不是 %2 的选项")
                        .arg(option->names().constLast(), parser.positionalArguments().first());
    }
    if (wrong.isEmpty() && options.command == Command::Live)
        wrong = readLive(parser, d, &options);
    if (wrong.isEmpty() && options.command == Command::Read)
        wrong = readRead(parser, d, &options);
    if (!wrong.isEmpty())
        return failure(options, wrong);
    result.outcome = Parsed::Outcome::Run;
    return result;
}

}  // namespace cli_options
