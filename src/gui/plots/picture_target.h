#pragma once

#include <QString>
#include <QStringList>

// Where a picture of a plot goes and in which format: the save dialog's file
// types, and the format a chosen name asks for.
namespace picture_target {

enum class Format { Png, Pdf };

// The save dialog's file types as Qt filter texts, PNG first.
QStringList dialogFilters();

// The file a chosen name is saved as, and its format. The extension decides
// (case does not matter); a name with neither gets ".png", so the content
// always matches the name.
struct Target {
    QString path;
    Format format = Format::Png;
};
Target targetFor(const QString &chosenPath);
// True when the file saved for a chosen name is not the one the dialog showed.
bool addsSuffix(const QString &chosenPath);

}  // namespace picture_target
