// PLACEHOLDER: replaced by the read-range dialog.
#include "dialog/form2.h"
#include "window/form1.h"
#include <QCloseEvent>
Form2::Form2(Form1 *owner) : QDialog(nullptr), form1_(owner) { setAttribute(Qt::WA_DeleteOnClose); }
Form2::~Form2() = default;
void Form2::Command1_Click() {}
void Form2::Command2_Click() { form1_->setEnabled(true); close(); }
void Form2::closeEvent(QCloseEvent *e) { QDialog::closeEvent(e); }
