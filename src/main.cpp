#include "platform/mscomm.h"
#include "platform/qt_serial_io.h"
#include "platform/ui_seam.h"
#include "window/fonts.h"
#include "window/form1.h"
#include "window/product.h"
#include "window/translations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(product::title());
    QApplication::setFont(fonts::ui());
    translations::installQtChinese(app);

    MSComm comm(std::make_unique<QtSerialIo>());
    WidgetUiSeam ui;
    Form1 window(&comm, &ui);
    window.Form_Load();
    window.show();
    return app.exec();
}
