#include "support/sim_window.h"

#include "dialog/form2.h"
#include "sim/generator.h"
#include "support/read_out.h"
#include "support/wait.h"

#include <QLineEdit>

namespace {
constexpr int kLinkTimeoutMs = 5000;
constexpr int kDialogTimeoutMs = 3000;
}  // namespace

SimWindow::SimWindow(const sim::SimOptions &options, int port) : port(port)
{
    qputenv("HARLUNE_PORT_DIR", portDir.path().toLocal8Bit());
    instrument = std::make_unique<sim::PtyInstrument>(portDir.path(), port, options);
    auto realIo = std::make_unique<RecordingSerialIo>();
    io = realIo.get();
    comm = std::make_unique<MSComm>(std::move(realIo));
    form = std::make_unique<Form1>(comm.get(), &dialogs);
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

void SimWindow::startInstrument(const sim::SimOptions &options)
{
    instrument = std::make_unique<sim::PtyInstrument>(portDir.path(), port, options);
}

bool SimWindow::readRange(const QString &from, const QString &to, QString *why)
{
    if (!waitUntil([&] { return int(form->commOk) == 1; }, kLinkTimeoutMs)) {
        *why = QStringLiteral("not linked");
        return false;
    }
    form->Command2_Click();
    if (!waitUntil([&] { return !form->form2.isNull(); }, kDialogTimeoutMs)) {
        *why = QStringLiteral("no read-range dialog");
        return false;
    }
    form->form2->Text1->setText(from);
    form->form2->Text2->setText(to);
    form->form2->Command1_Click();
    return true;
}

QString storeMismatch(const Form1 &f, qint32 first, qint32 last)
{
    for (qint32 g = first; g <= last; ++g) {
        const QString mismatch = slotMismatch(f, g, bytes(sim::groupRecord(g)));
        if (!mismatch.isEmpty())
            return mismatch;
    }
    return QString();
}
