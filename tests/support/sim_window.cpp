#include "support/sim_window.h"

#include "gui/form2.h"
#include "support/wait.h"

#include <QLineEdit>

namespace {
constexpr int kLinkTimeoutMs = 5000;
constexpr int kDialogTimeoutMs = 3000;
}  // namespace

SimWindow::SimWindow(const sim::SimOptions &options, int port) : SimCore(options, port, false)
{
    form = std::make_unique<Form1>(core.get(), &dialogs);
    find(form.get());
    form->endProgram = [] {};
    form->Form_Load();
}

SimWindow::~SimWindow() { form.reset(); }

bool SimWindow::readRange(const QString &from, const QString &to, QString *why)
{
    if (!waitUntil([&] { return isLinked(); }, kLinkTimeoutMs)) {
        *why = QStringLiteral("not linked");
        return false;
    }
    form->Command2_Click();
    if (!waitUntil([&] { return form->readRangeDialog() != nullptr; }, kDialogTimeoutMs)) {
        *why = QStringLiteral("no read-range dialog");
        return false;
    }
    Form2 *dialog = form->readRangeDialog();
    dialog->Text1->setText(from);
    dialog->Text2->setText(to);
    dialog->Command1_Click();
    return true;
}
