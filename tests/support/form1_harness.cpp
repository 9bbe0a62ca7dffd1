#include "support/form1_harness.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTimer>

Form1Harness::Form1Harness(std::initializer_list<int> present)
{
    qputenv("HARLUNE_PORT_DIR", portDir.path().toLocal8Bit());
    auto fake = std::make_unique<FakeSerialIo>();
    io = fake.get();
    for (int p : present)
        io->presentDevices.append(deviceOf(p));
    comm = std::make_unique<MSComm>(std::move(fake));
    form = std::make_unique<Form1>(comm.get(), &dialogs);
    programsOwnEnd = form->endProgram;
    form->endProgram = [this] { ++endProgramCalls; };
    form->Form_Load();
    stopTimers();
}

Form1Harness::~Form1Harness()
{
    form.reset();
    qunsetenv("HARLUNE_PORT_DIR");
}

void Form1Harness::quietLine(int limit)
{
    for (int i = 0; i < limit && form->lineTimer->isActive(); ++i) {
        form->lineTimer->stop();
        form->lineTimer_Timer();
    }
}

QString Form1Harness::deviceOf(int port) const
{
    return portDir.filePath(QStringLiteral("COM%1").arg(port));
}

QList<QByteArray> Form1Harness::takeWrites()
{
    QList<QByteArray> out;
    out.swap(io->writes);
    return out;
}

void Form1Harness::searchStep()
{
    form->probeWindow->stop();
    form->Timer2_Timer();
}

void Form1Harness::stopTimers()
{
    for (QTimer *t : {form->Timer1, form->Timer2, form->Timer3, form->Timer4})
        t->stop();
}

QByteArray shortReply(quint8 code, quint8 byte15, quint8 byte16, quint8 byte17)
{
    QByteArray r(20, '\0');
    r[0] = char(0xAA);
    r[15] = char(byte15);
    r[16] = char(byte16);
    r[17] = char(byte17);
    r[19] = char(code);
    return r;
}

QString hoverTip(QWidget *w)
{
    const QPoint inside(1, 1);
    QHelpEvent hover(QEvent::ToolTip, inside, w->mapToGlobal(inside));
    QApplication::sendEvent(w, &hover);
    return w->toolTip();
}
