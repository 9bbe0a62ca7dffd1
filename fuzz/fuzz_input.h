#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// Reads a fuzzer's input as a sequence of choices. Once the input runs out,
// every choice is the smallest, so any input is a complete, finite run.
class FuzzInput {
public:
    FuzzInput(const uint8_t *data, size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }

    uint8_t byte() { return empty() ? 0 : data_[pos_++]; }

    // A whole number from low to high, both included.
    int range(int low, int high)
    {
        const uint32_t span = uint32_t(high - low) + 1;
        uint32_t v = 0;
        for (uint32_t have = 1; have < span && !empty(); have <<= 8)
            v = (v << 8) | byte();
        return low + int(v % span);
    }

    QByteArray bytes(int count)
    {
        QByteArray out;
        while (count-- > 0 && !empty())
            out.append(char(byte()));
        return out;
    }

    // A short text of the characters a number could be typed with, and some others.
    QString text(int longest)
    {
        static const char kChars[] = "0123456789+-.eE &HhOo\t\nx";
        QString out;
        for (int n = range(0, longest); n > 0; --n)
            out += QLatin1Char(kChars[byte() % (sizeof kChars - 1)]);
        return out;
    }

    // Whatever remains, as UTF-8 text.
    QString rest()
    {
        const QString out =
            QString::fromUtf8(reinterpret_cast<const char *>(data_ + pos_), int(size_ - pos_));
        pos_ = size_;
        return out;
    }

private:
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
};

// A broken property: says what and stops the run, so the fuzzer keeps the input.
[[noreturn]] void fuzzFailure(const QString &what);
#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzzFailure(what);                                                                     \
    } while (0)
