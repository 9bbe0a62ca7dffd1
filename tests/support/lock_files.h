#pragma once

#include <QString>
#include <QStringList>

// The lock files QSerialPort keeps for a device while it holds it open: a
// program that ends cleanly leaves none behind.
QStringList lockFilesOf(const QString &device);
