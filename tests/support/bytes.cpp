#include "support/bytes.h"

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

QByteArray blockFrame(int first, int last)
{
    return bytes({0xAA, first / 10000, first % 10000 / 100, first % 100, last / 10000,
                  last % 10000 / 100, last % 100, 0x55});
}
