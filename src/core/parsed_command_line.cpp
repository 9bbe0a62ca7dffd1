#include "core/parsed_command_line.h"

#include "platform/console_output.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace parsed_command_line {

namespace {

// The argument that named option `name`: "--name", "--name=value", or
// "-n" among short options; as "--name" when none is found.
QString asTyped(const QString &name, const QStringList &arguments)
{
    const QString longForm = QStringLiteral("--") + name;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--"))
            break;
        if (argument == longForm || argument.startsWith(longForm + QLatin1Char('=')))
            return longForm;
        if (name.size() == 1 && argument.startsWith(QLatin1Char('-'))
            && !argument.startsWith(QLatin1String("--")) && argument.contains(name))
            return QStringLiteral("-") + name;
        if (argument == QLatin1Char('-') + name)
            return argument;
    }
    return longForm;
}

}  // namespace

QString parserError(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    const QString what = unknown.isEmpty()
                             ? parser.errorText()
                             : QCoreApplication::translate("command_line", "未知选项“%1”")
                                   .arg(asTyped(unknown.first(), arguments.mid(1)));
    return what + QCoreApplication::translate("command_line", "（见 --help）");
}

QString helpText(const QCommandLineParser &parser, const QString &usage)
{
    QString text = parser.helpText();
    const qsizetype firstLineEnd = text.indexOf(QLatin1Char('\n'));
    text.replace(0, firstLineEnd, usage);
    return text;
}

std::optional<int> answerInstead(Outcome outcome, const QString &text)
{
    switch (outcome) {
    case Outcome::Run: break;
    case Outcome::Error: console_output::print(stderr, text + QLatin1Char('\n')); return kExitUsage;
    case Outcome::ShowHelp:
    case Outcome::ShowVersion: console_output::print(stdout, text); return 0;
    }
    return std::nullopt;
}

}  // namespace parsed_command_line
