#pragma once

class QCoreApplication;

namespace translations {

// Loads Qt's own Simplified Chinese texts (qtbase_zh_CN), so that the
// platform's dialogs speak the language of the program: the save dialog's
// 另存为 and 取消, the message boxes' 确定. Looks in Qt's translations folder,
// then in "translations" beside the program, where a Windows deployment puts
// it. Returns false when it is found in neither; the dialogs then stay English.
bool installQtChinese(QCoreApplication &app);

}  // namespace translations
