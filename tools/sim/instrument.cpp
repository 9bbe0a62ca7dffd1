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
} // namespace

Instrument::Instrument(const InstrumentOptions &options) : options_(options)
{
    options_.groups = std::clamp(options_.groups, 0, kMaxGroups);
}

QByteArray Instrument::receive(const QByteArray &bytes)
{
    QByteArray out;
    for (const CommandFrame &frame : scanner_.feed(bytes)) {
        if (silent_)
            continue;
        ++counts_[countIndex(frame.command)];
        const QByteArray answer = reply(frame);
        if (answer.isEmpty())
            continue;
        out.append(queuedGarbage_);
        queuedGarbage_.clear();
        out.append(answer);
    }
    return out;
}

int Instrument::requestCount(Command command) const { return counts_[countIndex(command)]; }

QByteArray Instrument::reply(const CommandFrame &frame)
{
    switch (frame.command) {
    case Command::Probe:
        return probeReply(options_.secondsFlag);
    case Command::GroupCount:
        return groupCountReply(options_.groups);
    case Command::LiveReading:
        return liveReply(liveReading(liveStep_++), options_.secondsFlag);
    case Command::Block:
        blockRanges_.emplace_back(frame.first, frame.last);
        if (static_cast<int>(blockRanges_.size()) == options_.silentOnBlock)
            return {};
        return blockReply(frame.first, frame.last);
    }
    return {};
}

} // namespace sim
