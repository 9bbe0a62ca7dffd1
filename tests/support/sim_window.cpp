#include "support/sim_window.h"

SimWindow::SimWindow(const sim::SimOptions &options, int port)
{
    qputenv("HARLUNE_PORT_DIR", portDir.path().toLocal8Bit());
    instrument = std::make_unique<sim::PtyInstrument>(portDir.path(), port, options);
    auto realIo = std::make_unique<RecordingSerialIo>();
    io = realIo.get();
    comm = std::make_unique<MSComm>(std::move(realIo));
    form = std::make_unique<Form1>(comm.get(), &ui);
    form->endProgram = [] {};
    form->Form_Load();
}

SimWindow::~SimWindow()
{
    form.reset();
    comm.reset();
    instrument.reset();
    qunsetenv("HARLUNE_PORT_DIR");
}

QString SimWindow::deviceOf(int port) const
{
    return portDir.filePath(QStringLiteral("COM%1").arg(port));
}

QList<QByteArray> SimWindow::blockFrames() const
{
    QList<QByteArray> out;
    for (const QByteArray &w : io->writes) {
        if (w.size() == 8 && quint8(w[7]) == 0x55)
            out.append(w);
    }
    return out;
}
