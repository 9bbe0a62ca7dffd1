#include "core/parsed_command_line.h"

#include "platform/console_output.h"

#include <QCommandLineParser>

namespace parsed_command_line {

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
