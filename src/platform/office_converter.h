#pragma once

#include <QString>

#include <utility>

// Converts a spreadsheet file into another format by running LibreOffice
// headless as a separate process. Each conversion uses a private profile, so
// it neither disturbs nor waits for a LibreOffice the user has open.
class OfficeConverter {
public:
    // LibreOffice's program on PATH ("soffice", otherwise "libreoffice");
    // empty when it is not installed.
    static QString findProgram();

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
