#include "gui/form1.h"

#include "core/product.h"
#include "platform/ui_seam.h"

namespace {
const QString kKeySave = QStringLiteral("保存");
const QString kKeyRead = QStringLiteral("读取");
const QString kKeyClear = QStringLiteral("清除");
const QString kKeyExit = QStringLiteral("退出");
}  // namespace

void Form1::Command2_Click() { core_->read(); }
void Form1::Command4_Click() { core_->clearData(); }
void Form1::Command5_Click() { endProgram(); }
void Form1::mnuSave_Click() { Command3_Click(); }
void Form1::mnuExit_Click() { endProgram(); }
void Form1::mnuRead_Click() { Command2_Click(); }
void Form1::mnuClear_Click() { Command4_Click(); }

void Form1::mnuCurrentVersion_Click()
{
    dialogs_->message(this, product::title(), product::versionMessage(), UiSeam::Icon::None);
}

// Routes a toolbar button by its exact key; an unknown key does nothing.
void Form1::Toolbar1_ButtonClick(const QString &key)
{
    if (key == kKeySave)
        Command3_Click();
    else if (key == kKeyRead)
        Command2_Click();
    else if (key == kKeyClear)
        Command4_Click();
    else if (key == kKeyExit)
        endProgram();
}
