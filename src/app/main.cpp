#include "app/command_line.h"
#include "app/startup.h"
#include "app/version.h"
#include "core/instrument.h"
#include "core/product.h"
#include "core/translations.h"
#include "gui/fonts.h"
#include "gui/form1.h"
#include "platform/console_output.h"
#include "platform/qt_serial_io.h"
#include "platform/ui_seam.h"

#include <QApplication>
#include <QIcon>

namespace {

constexpr char kIconResource[] = ":/icons/harlune.svg";

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

}  // namespace

int main(int argc, char *argv[])
{
    const command_line::Parsed parsed = command_line::parse(argumentList(argc, argv));
    if (parsed.outcome != command_line::Parsed::Outcome::Run) {
        console_output::attach();
        return *parsed_command_line::answerInstead(parsed.outcome, parsed.text);
    }
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    if (!command_line::namesDisplay(parsed.options, QProcessEnvironment::systemEnvironment())) {
        console_output::print(stderr, command_line::noDisplayMessage() + QLatin1Char('\n'));
        return command_line::kExitNoDisplay;
    }
#endif

    QApplication app(argc, argv);
    QApplication::setApplicationName(product::title());
    QApplication::setApplicationVersion(QLatin1String(version::kText));
    QGuiApplication::setDesktopFileName(QLatin1String(version::kAppId));
    QApplication::setFont(fonts::ui());
    translations::installQtChinese(app);
    // Drawing the SVG takes Qt's SVG icon engine. Where it is missing (the
    // static Windows build), the windows keep the executable's own icon.
    const QIcon icon(QString::fromLatin1(kIconResource));
    if (!icon.isNull())
        QApplication::setWindowIcon(icon);

    Instrument core(std::make_unique<QtSerialIo>());
    WidgetUiSeam dialogs;
    Form1 window(&core, &dialogs);
    startup::apply(parsed.options, core);
    startup::endOnSignals(window);
    window.Form_Load();
    window.show();
    return app.exec();
}
