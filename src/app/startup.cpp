#include "app/startup.h"

#include "gui/form1.h"
#include "platform/quit_on_signals.h"

#include <QCoreApplication>

namespace startup {

void endOnSignals(Form1 &window)
{
    quit_on_signals::install(&window, [&window](int) {
        window.close();
        QCoreApplication::quit();
    });
}

}  // namespace startup
