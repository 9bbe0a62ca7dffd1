#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <utility>

// Converts a spreadsheet file into another format by running LibreOffice
// headless as a separate process. Each conversion uses a private profile, so
// it neither disturbs nor waits for a LibreOffice the user has open.
class OfficeConverter {
public:
    // LibreOffice's program on PATH ("soffice", otherwise "libreoffice"); on
    // Windows, where its installer does not add it to PATH, then soffice.exe
    // in the usual install folders. Empty when it is not installed.
    static QString findProgram();

    // The Program Files folders a Windows environment names: ProgramFiles,
    // ProgramW6432 (the 64-bit one, seen from a 32-bit program) and
    // ProgramFiles(x86), each once, in that order.
    static QStringList programFolders(const QProcessEnvironment &environment);
    // soffice.exe where LibreOffice's installer puts it, under the first of
    // `folders` that has it; empty when none has.
    static QString findInstalled(const QStringList &folders);

    explicit OfficeConverter(QString program) : program_(std::move(program)) {}

    // Converts `source` into `workDir` as <source's base name>.<suffix>, with
    // LibreOffice's export filter `filter`. Returns the path of the new file,
    // or an empty text with errorText() saying why it failed or timed out.
    QString convert(const QString &source, const QString &suffix, const QString &filter,
                    const QString &workDir, int timeoutMs);
    QString errorText() const { return error_; }

private:
    QString program_;
    QString error_;
};
