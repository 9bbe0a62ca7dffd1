#include "app/startup.h"

#include "core/instrument.h"
#include "gui/form1.h"
#include "platform/quit_on_signals.h"

#include <QCoreApplication>

namespace startup {

void apply(const command_line::Options &options, Instrument &core)
{
    port_options::apply(options, core);
}

void endOnSignals(Form1 &window)
{
    quit_on_signals::install(&window, [&window](int) {
        window.close();
        QCoreApplication::quit();
    });
}

}  // namespace startup
