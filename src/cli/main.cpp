#include "app/version.h"
#include "cli/cli_options.h"
#include "cli/cli_session.h"
#include "core/instrument.h"
#include "core/language.h"
#include "core/port_options.h"
#include "platform/console_output.h"
#include "platform/qt_serial_io.h"
#include "platform/quit_on_signals.h"

#include <QCoreApplication>
#include <QTimer>

#include <optional>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("harlune-cli"));
    QCoreApplication::setApplicationVersion(QLatin1String(version::kText));

    // The language is known from the command line, whose texts are in it:
    // read once for the language, and once more with its translators.
    const language::Translators translators(
        cli_options::parse(QCoreApplication::arguments()).options.language);
    const cli_options::Parsed parsed = cli_options::parse(QCoreApplication::arguments());
    if (const std::optional<int> code =
            parsed_command_line::answerInstead(parsed.outcome, parsed.text))
        return *code;
    if (!parsed.options.languageWarning.isEmpty())
        console_output::print(stderr, parsed.options.languageWarning + QLatin1Char('\n'));

    Instrument core(std::make_unique<QtSerialIo>());
    port_options::apply(parsed.options, core);
    CliSession session(core, parsed.options);
    // The port is closed and its lock file removed on every way out.
    quit_on_signals::install(&session, [&session](int) { session.stop(); });
    console_output::writeFailuresInsteadOfSigpipe();
    QTimer::singleShot(0, &session, &CliSession::start);
    return QCoreApplication::exec();
}
