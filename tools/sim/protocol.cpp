#include "sim/protocol.h"

#include <algorithm>

namespace sim {

namespace {

constexpr int kFirstTripleAt = 1;
constexpr int kLastTripleAt = 4;

bool isCommandCode(quint8 code)
{
    switch (static_cast<Command>(code)) {
    case Command::Probe:
    case Command::GroupCount:
    case Command::LiveReading:
    case Command::Block: return true;
    }
    return false;
}

bool isTriple(const char *bytes)
{
    return std::all_of(bytes, bytes + 3,
                       [](char b) { return static_cast<quint8>(b) < kTripleDigitLimit; });
}

qint32 tripleAt(const char *bytes)
{
    return fromBase100(static_cast<quint8>(bytes[0]), static_cast<quint8>(bytes[1]),
                       static_cast<quint8>(bytes[2]));
}

// A frame starting at `frame`: a known code and, for a block request, two triples
// of decimal digits. The other requests' parameter bytes are not looked at.
bool isFrame(const char *frame)
{
    const quint8 code = static_cast<quint8>(frame[kFrameCodeAt]);
    if (!isCommandCode(code))
        return false;
    if (static_cast<Command>(code) != Command::Block)
        return true;
    return isTriple(frame + kFirstTripleAt) && isTriple(frame + kLastTripleAt);
}

QByteArray shortReply(Command code)
{
    QByteArray reply(kShortReplyLength, '\0');
    for (int i = 1; i < kReplyCodeAt; ++i)
        reply[i] = static_cast<char>(i);
    reply[0] = static_cast<char>(kFrameHeader);
    reply[kReplyCodeAt] = static_cast<char>(code);
    return reply;
}

char secondsFlagByte(bool on) { return static_cast<char>(on ? kSecondsFlagOn : kSecondsFlagOff); }

}  // namespace

std::vector<CommandFrame> FrameScanner::feed(const QByteArray &bytes)
{
    pending_.append(bytes);
    std::vector<CommandFrame> frames;
    qsizetype at = 0;
    while (true) {
        at = pending_.indexOf(static_cast<char>(kFrameHeader), at);
        if (at < 0) {
            pending_.clear();
            return frames;
        }
        if (pending_.size() - at < kFrameLength)
            break;
        const char *frame = pending_.constData() + at;
        if (!isFrame(frame)) {
            // A header byte among noise: look for the next one.
            ++at;
            continue;
        }
        CommandFrame f;
        f.command = static_cast<Command>(static_cast<quint8>(frame[kFrameCodeAt]));
        f.bytes = QByteArray(frame, kFrameLength);
        if (f.command == Command::Block) {
            f.first = tripleAt(frame + kFirstTripleAt);
            f.last = tripleAt(frame + kLastTripleAt);
        }
        frames.push_back(f);
        at += kFrameLength;
    }
    pending_.remove(0, at);
    return frames;
}

std::array<quint8, 3> base100Triple(qint32 number)
{
    return {static_cast<quint8>(number / 10000), static_cast<quint8>(number % 10000 / 100),
            static_cast<quint8>(number % 100)};
}

qint32 fromBase100(quint8 high, quint8 middle, quint8 low)
{
    return high * 10000 + middle * 100 + low;
}

QByteArray probeReply(bool secondsFlag)
{
    QByteArray reply = shortReply(Command::Probe);
    reply[kSecondsFlagAt] = secondsFlagByte(secondsFlag);
    return reply;
}

QByteArray groupCountReply(qint32 groups)
{
    QByteArray reply = shortReply(Command::GroupCount);
    const auto triple = base100Triple(groups);
    for (int i = 0; i < 3; ++i)
        reply[kGroupCountAt + i] = static_cast<char>(triple[i]);
    return reply;
}

QByteArray liveReply(const LiveReadings &readings, bool secondsFlag)
{
    QByteArray reply = shortReply(Command::LiveReading);
    int at = kLiveReadingsAt;
    for (const Reading &r : readings) {
        reply[at++] = static_cast<char>(r.hi);
        reply[at++] = static_cast<char>(r.lo);
        reply[at++] = static_cast<char>(r.status);
    }
    reply[kSecondsFlagAt] = secondsFlagByte(secondsFlag);
    return reply;
}

QByteArray blockReply(qint32 first, qint32 last)
{
    QByteArray reply;
    if (last < first)
        return reply;
    reply.reserve(static_cast<qsizetype>(last - first + 1) * kRecordLength);
    for (qint32 g = first; g <= last; ++g) {
        const Record r = groupRecord(g);
        reply.append(reinterpret_cast<const char *>(r.data()), kRecordLength);
    }
    return reply;
}

}  // namespace sim
