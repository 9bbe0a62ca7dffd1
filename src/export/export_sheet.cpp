// PLACEHOLDER: replaced by the spreadsheet export.
#include "window/form1.h"
void Form1::Command3_Click() {}
void Form1::exportSheet(const QString &) {}
