#include "core/link/serial_link.h"

#include "platform/serial_io.h"
#include "platform/serial_log.h"

namespace {
constexpr qint16 kSilenceThreshold = 30;  // the link is lost on the 31st silent tick
constexpr qint16 kSilenceCeiling = 1300;  // keeps the count far from the 16-bit limit
}  // namespace

SerialLink::SerialLink(std::unique_ptr<SerialIo> io, QObject *parent)
    : QObject(parent), MSComm1(std::move(io))
{
}

void SerialLink::setMode(LinkMode mode)
{
    if (mode_ == mode)
        return;
    qCDebug(lcSerial) << "link:" << link_mode::name(mode_) << "->" << link_mode::name(mode);
    mode_ = mode;
    if (announced_)
        emit modeChanged(mode);
}

void SerialLink::announceMode()
{
    announced_ = true;
    emit modeChanged(mode_);
}

void SerialLink::resume() { setMode(commOk_ == 1 ? LinkMode::Linked : LinkMode::Searching); }

void SerialLink::senddat(qint16 dat)
{
    lastCmd_ = dat;
    if (!MSComm1.PortOpen())
        return;
    switch (dat) {
    case frames::kProbe:
    case frames::kGroupCount:
    case frames::kLiveReading:
        cmdBuf_ = frames::shortFrame(dat);
        MSComm1.setRThreshold(frames::kReplyLength);
        break;
    default:
        // Anything else sends the last frame once more.
        break;
    }
    send();
}

void SerialLink::senddat(const frames::BlockRequest &block)
{
    lastCmd_ = frames::kBlockRequest;
    if (!MSComm1.PortOpen())
        return;
    cmdBuf_ = frames::blockFrame(block.first, block.last);
    MSComm1.setRThreshold(block.threshold);
    MSComm1.setInputLen(block.threshold);
    send();
}

// Stale input is dropped first, then the frame is written and drained. A
// port that sends on the write, to an instrument that answers at once, has
// the reply in the driver before the write returns: dropping input after the
// write would lose it. The drain makes sure the frame is on its way before
// the transmit buffer counts as empty; nothing is discarded.
void SerialLink::send()
{
    MSComm1.setInBufferCount(0);
    MSComm1.setOutput(QByteArray(reinterpret_cast<const char *>(cmdBuf_.data()),
                                 static_cast<int>(cmdBuf_.size())));
    MSComm1.drainOutput();
}

bool SerialLink::takeReply()
{
    rxBuf_ = MSComm1.Input();
    const bool morePending = MSComm1.InBufferCount() > 0;
    MSComm1.setInBufferCount(0);
    MSComm1.drainOutput();
    return morePending;
}

void SerialLink::markLinkAlive()
{
    silentTicks_ = 0;
    emit answered();
    if (commOk_ != 1)
        setLinked(true);
}

void SerialLink::setLinked(bool linked)
{
    const qint16 flag = linked ? 1 : 0;
    if (commOk_ == flag)
        return;
    commOk_ = flag;
    if (link_mode::pollsRun(mode_))
        resume();
    emit linkChanged(linked);
}

void SerialLink::countSilence(qint64 ms)
{
    for (qint64 t = kLinkedPaceMs; t <= ms && silentTicks_ <= kSilenceThreshold; t += kLinkedPaceMs)
        countSilentTick();
}

void SerialLink::countSilentTick()
{
    ++silentTicks_;
    if (silentTicks_ > kSilenceThreshold)
        setLinked(false);
    if (silentTicks_ > kSilenceCeiling)
        silentTicks_ = kSilenceCeiling;
}
