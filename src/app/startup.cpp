#include "app/startup.h"

#include "platform/port_map.h"
#include "platform/quit_on_signals.h"
#include "window/form1.h"

#include <QComboBox>
#include <QCoreApplication>

namespace startup {

void apply(const command_line::Options &options, Form1 &window)
{
    port_map::setPortDir(options.portDir);
    if (options.firstPort != 0)
        window.Combo1->setEditText(command_line::comboTextBefore(options.firstPort));
}

void endOnSignals(Form1 &window)
{
    quit_on_signals::install(&window, [&window](int) {
        window.close();
        QCoreApplication::quit();
    });
}

}  // namespace startup
