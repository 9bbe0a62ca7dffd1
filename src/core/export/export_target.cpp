#include "core/export/export_target.h"

#include "core/records/group_record.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace export_target {

namespace {

// The dialog's file types, in the order it offers them. Each text ends in its
// pattern in brackets, which is how Qt reads a filter, so the dialog shows it
// as written; a pattern appended once more would show twice.
constexpr const char *kFileTypes[] = {"Text Files(*.xlsx)", "(*.xls)", "(*.xlsm)"};

constexpr qint64 kXlsMaxRows = 65536;
constexpr qint64 kXlsxMaxRows = 1048576;

const QByteArray kOle2Signature = QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
const QByteArray kZipSignature = QByteArrayLiteral("PK\x03\x04");

}  // namespace

QStringList dialogFilters()
{
    QStringList filters;
    for (const char *type : kFileTypes)
        filters << QString::fromLatin1(type);
    return filters;
}

QString suffix(SheetFormat format)
{
    switch (format) {
    case SheetFormat::Xlsx: return QStringLiteral("xlsx");
    case SheetFormat::Xls: return QStringLiteral("xls");
    case SheetFormat::Xlsm: return QStringLiteral("xlsm");
    }
    return QString();
}

std::optional<SheetFormat> formatOf(const QString &path)
{
    const QString given = QFileInfo(path).suffix();
    for (SheetFormat format : {SheetFormat::Xlsx, SheetFormat::Xls, SheetFormat::Xlsm}) {
        if (given.compare(suffix(format), Qt::CaseInsensitive) == 0)
            return format;
    }
    return std::nullopt;
}

Target targetFor(const QString &chosenPath)
{
    if (const std::optional<SheetFormat> format = formatOf(chosenPath))
        return {chosenPath, *format};
    return {chosenPath + QLatin1Char('.') + suffix(SheetFormat::Xlsx), SheetFormat::Xlsx};
}

bool addsSuffix(const QString &chosenPath) { return targetFor(chosenPath).path != chosenPath; }

QString replaceQuestion(const QString &fileName)
{
    return QCoreApplication::translate("export_target", "%1 已存在。\n您想要替换它吗？")
        .arg(fileName);
}

QString officeFilter(SheetFormat format)
{
    switch (format) {
    case SheetFormat::Xlsx: return QString();  // written natively
    case SheetFormat::Xls: return QStringLiteral("MS Excel 97");
    case SheetFormat::Xlsm: return QStringLiteral("Calc MS Excel 2007 VBA XML");
    }
    return QString();
}

qint64 maxRows(SheetFormat format)
{
    return format == SheetFormat::Xls ? kXlsMaxRows : kXlsxMaxRows;
}

bool rangeInStore(qint32 first, qint32 count)
{
    if (count <= 0)
        return true;
    const qint64 last = qint64(first) + count - 1;
    return first >= record_store::kFirstGroup && last <= record_store::kLastGroup;
}

bool hasSignature(SheetFormat format, const QByteArray &head)
{
    return head.startsWith(format == SheetFormat::Xls ? kOle2Signature : kZipSignature);
}

}  // namespace export_target
