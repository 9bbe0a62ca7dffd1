#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <initializer_list>

// Bytes from a list of values: bytes({0xAA, 1, 2}).
QByteArray bytes(std::initializer_list<int> values);

// The bytes of a frame or record held as an array.
template <std::size_t N>
QByteArray bytes(const std::array<quint8, N> &values)
{
    return QByteArray(reinterpret_cast<const char *>(values.data()), int(N));
}

// A block request for groups first to last, its triples worked out here
// rather than by the code under test.
QByteArray blockFrame(int first, int last);
