#include "sim/instrument.h"

#include <algorithm>

namespace sim {

namespace {
int countIndex(Command command)
{
    switch (command) {
    case Command::Probe: return 0;
    case Command::GroupCount: return 1;
    case Command::LiveReading: return 2;
    case Command::Block: return 3;
    }
    return 0;
}
}  // namespace

Instrument::Instrument(const InstrumentOptions &options) : options_(options)
{
    options_.groups = std::clamp(options_.groups, 0, kMaxGroups);
}

std::vector<Delivery> Instrument::respond(const QByteArray &bytes)
{
    std::vector<Delivery> out;
    for (const CommandFrame &frame : scanner_.feed(bytes)) {
        if (silent_)
            continue;
        ++counts_[countIndex(frame.command)];
        for (Delivery &answer : reply(frame)) {
            answer.bytes.prepend(queuedGarbage_);
            queuedGarbage_.clear();
            out.push_back(answer);
        }
    }
    return out;
}

QByteArray Instrument::receive(const QByteArray &bytes)
{
    QByteArray out;
    for (const Delivery &d : respond(bytes))
        out.append(d.bytes);
    return out;
}

int Instrument::requestCount(Command command) const { return counts_[countIndex(command)]; }

std::vector<Delivery> Instrument::reply(const CommandFrame &frame)
{
    QByteArray bytes;
    switch (frame.command) {
    case Command::Probe: bytes = probeReply(options_.secondsFlag); break;
    case Command::GroupCount:
        if (options_.countUnanswered)
            return {};
        bytes = groupCountReply(options_.groups);
        break;
    case Command::LiveReading:
        bytes = liveReply(liveReading(liveStep_++), options_.secondsFlag);
        break;
    case Command::Block:
        if (options_.talker == Talker::None)
            return blockDelivery(frame);
        return {{talkerReply(frame, blockReply(frame.first, frame.last))}};
    }
    if (options_.talker != Talker::None)
        bytes = talkerReply(frame, bytes);
    return {{bytes, options_.replyDelayMs}};
}

QByteArray Instrument::talkerReply(const CommandFrame &frame, const QByteArray &instrumentReply)
{
    switch (options_.talker) {
    case Talker::None: break;
    case Talker::Random: return garbageBytes(kShortReplyLength, talkerSeed_++);
    case Talker::Long: return instrumentReply + garbageBytes(1, talkerSeed_++);
    case Talker::Echo: return frame.bytes;
    }
    return instrumentReply;
}

std::vector<Delivery> Instrument::blockDelivery(const CommandFrame &frame)
{
    blockRanges_.emplace_back(frame.first, frame.last);
    const int k = static_cast<int>(blockRanges_.size());
    const BlockFaults &f = options_.faults;
    QByteArray bytes = blockReply(frame.first, frame.last);
    if (!heldReply_.isEmpty()) {
        // The held reply goes out now, and the reply to this request after it.
        std::vector<Delivery> both{{heldReply_}, {bytes, kCopyGapMs}};
        heldReply_.clear();
        return both;
    }
    if (k == f.silentOn || (f.silentFrom > 0 && k >= f.silentFrom))
        return {};
    const int middle = bytes.size() / 2;
    if (k == f.strayBefore)
        bytes.prepend(garbageBytes(kStrayBytes, quint32(k)));
    if (k == f.insertIn)
        bytes.insert(middle, garbageBytes(1, quint32(k)));
    if (k == f.dropFrom)
        bytes.remove(middle, 1);
    if (k == f.lateTwice) {
        heldReply_ = bytes;
        return {};
    }
    return {{bytes, k == f.slow ? f.slowMs : 0}};
}

}  // namespace sim
