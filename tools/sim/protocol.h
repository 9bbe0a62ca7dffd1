#pragma once

#include "sim/generator.h"

#include <QByteArray>
#include <QtGlobal>

#include <vector>

// The instrument's side of the serial protocol: recognising command frames in a
// byte stream and building the replies.
namespace sim {

// Command frame: header, six parameter bytes, command code.
constexpr quint8 kFrameHeader = 0xAA;
constexpr int kFrameLength = 8;
constexpr int kFrameCodeAt = kFrameLength - 1;

enum class Command : quint8 {
    Probe = 0x11,
    GroupCount = 0x22,
    LiveReading = 0x33,
    Block = 0x55,
};

// A recognised command frame. `first` and `last` are the group range of a block
// request (parameter bytes 1-3 and 4-6 as base-100 triples); 0 for the other commands.
struct CommandFrame {
    Command command = Command::Probe;
    qint32 first = 0;
    qint32 last = 0;
    QByteArray bytes;  // the frame as heard
};

// Picks command frames out of bytes that may arrive in pieces, several at once,
// or with stray bytes around them. Anything that is not a frame is skipped.
class FrameScanner {
public:
    // Takes the next bytes off the line; returns the frames they complete.
    std::vector<CommandFrame> feed(const QByteArray &bytes);
    // Forgets a partly received frame.
    void clear() { pending_.clear(); }
    int pendingBytes() const { return static_cast<int>(pending_.size()); }

private:
    QByteArray pending_;
};

// A group number as three bytes of two decimal digits each, and back.
constexpr int kTripleDigitLimit = 100;
std::array<quint8, 3> base100Triple(qint32 number);
qint32 fromBase100(quint8 high, quint8 middle, quint8 low);

// Short replies are 20 bytes: header, content, the echoed command code last.
// Bytes the host does not read hold their own position (byte 7 holds 7), so a
// host that reads the wrong byte sees a telling value.
constexpr int kShortReplyLength = 20;
constexpr int kReplyCodeAt = kShortReplyLength - 1;
constexpr int kSecondsFlagAt = 15;
constexpr int kGroupCountAt = 15;   // bytes 15-17, a base-100 triple
constexpr int kLiveReadingsAt = 1;  // bytes 1-9: hi, lo, status per channel
constexpr quint8 kSecondsFlagOn = 0xFF;
constexpr quint8 kSecondsFlagOff = 0x00;

QByteArray probeReply(bool secondsFlag);
QByteArray groupCountReply(qint32 groups);
QByteArray liveReply(const LiveReadings &readings, bool secondsFlag);
// Records of groups first to last, 20 bytes each, nothing around them; empty
// when last < first.
QByteArray blockReply(qint32 first, qint32 last);

}  // namespace sim
