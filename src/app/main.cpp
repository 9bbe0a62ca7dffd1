#include "app/command_line.h"
#include "app/startup.h"
#include "app/version.h"
#include "core/instrument.h"
#include "core/language.h"
#include "core/port_options.h"
#include "core/product.h"
#include "gui/fonts.h"
#include "gui/form1.h"
#include "platform/console_output.h"
#include "platform/qt_serial_io.h"
#include "platform/ui_seam.h"

#include <QApplication>
#include <QCoreApplication>
#include <QIcon>

#include <optional>

namespace {

constexpr char kIconResource[] = ":/icons/harlune.svg";

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// What goes to the terminal (the help, the version, what is wrong, that there
// is no display) is worded in the chosen language. Translators need an
// application object, and the window's needs a display: the command line is
// parsed once more under one that needs none.
int answerOnTerminal(int argc, char *argv[], const QStringList &arguments,
                     language::Language language)
{
    QCoreApplication terminal(argc, argv);
    const language::Translators translators(language);
    const command_line::Parsed parsed = command_line::parse(arguments);
    console_output::attach();
    if (const std::optional<int> code =
            parsed_command_line::answerInstead(parsed.outcome, parsed.text))
        return *code;
    console_output::print(stderr, command_line::noDisplayMessage() + QLatin1Char('\n'));
    return command_line::kExitNoDisplay;
}

bool hasDisplay(const command_line::Options &options)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    return command_line::namesDisplay(options, QProcessEnvironment::systemEnvironment());
#else
    Q_UNUSED(options);
    return true;
#endif
}

}  // namespace

int main(int argc, char *argv[])
{
    const QStringList arguments = argumentList(argc, argv);
    const command_line::Parsed parsed = command_line::parse(arguments);
    if (parsed.outcome != command_line::Parsed::Outcome::Run || !hasDisplay(parsed.options))
        return answerOnTerminal(argc, argv, arguments, parsed.options.language);
    if (!parsed.options.languageWarning.isEmpty())
        console_output::print(stderr, parsed.options.languageWarning + QLatin1Char('\n'));

    QApplication app(argc, argv);
    QApplication::setApplicationName(product::title());
    QApplication::setApplicationVersion(QLatin1String(version::kText));
    QGuiApplication::setDesktopFileName(QLatin1String(version::kAppId));
    QApplication::setFont(fonts::ui());
    const language::Translators translators(parsed.options.language);
    // Drawing the SVG takes Qt's SVG icon engine. Where it is missing (the
    // static Windows build), the windows keep the executable's own icon.
    const QIcon icon(QString::fromLatin1(kIconResource));
    if (!icon.isNull())
        QApplication::setWindowIcon(icon);

    Instrument core(std::make_unique<QtSerialIo>());
    WidgetUiSeam dialogs;
    Form1 window(&core, &dialogs);
    port_options::apply(parsed.options, core);
    startup::endOnSignals(window);
    window.Form_Load();
    window.show();
    return app.exec();
}
