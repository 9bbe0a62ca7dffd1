#include "app/startup.h"

#include "platform/port_map.h"
#include "window/form1.h"

#include <QComboBox>

namespace startup {

void apply(const command_line::Options &options, Form1 &window)
{
    port_map::setPortDir(options.portDir);
    if (options.firstPort != 0)
        window.Combo1->setEditText(command_line::comboTextBefore(options.firstPort));
}

}  // namespace startup
