#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Where an export goes and in which file format: the save dialog's file types,
// the format a chosen name asks for, and the limits of each format.
namespace export_target {

enum class SheetFormat {
    Xlsx,  // Office Open XML workbook
    Xls,   // Excel 97-2003 binary workbook
    Xlsm,  // Office Open XML macro-enabled workbook
};

// The save dialog's file types as Qt filter texts, .xlsx first, each showing
// its pattern once: "Text Files(*.xlsx)".
QStringList dialogFilters();

// The file a chosen name is saved as, and its format. The extension decides
// the format (case does not matter); a name without one of the three
// extensions gets ".xlsx" appended, so the content always matches the name.
struct Target {
    QString path;
    SheetFormat format = SheetFormat::Xlsx;
};
Target targetFor(const QString &chosenPath);
// The format a path's extension names (case does not matter); nothing for
// any other extension, which a command line refuses rather than guesses.
std::optional<SheetFormat> formatOf(const QString &path);
// True when the file saved for a chosen name is not the one the dialog
// showed: the name had no workbook extension and gets ".xlsx".
bool addsSuffix(const QString &chosenPath);

// The question before a file the dialog did not show is replaced, in the
// words of the dialog's own question for the files it does show.
QString replaceQuestion(const QString &fileName);

// Extension without the dot ("xls") and a short name for messages (".xls").
QString suffix(SheetFormat format);

// LibreOffice's export filter that writes the format; empty for .xlsx, which
// the program writes itself.
QString officeFilter(SheetFormat format);

// Number of rows a sheet of the format can hold.
qint64 maxRows(SheetFormat format);

// True when the group range first..first+count-1 lies within the record store.
// An empty range (count <= 0) always does.
bool rangeInStore(qint32 first, qint32 count);

// True when `head`, the first bytes of a file, starts with the signature of
// the format's container: an OLE2 compound file for .xls, a zip for the others.
bool hasSignature(SheetFormat format, const QByteArray &head);

}  // namespace export_target
