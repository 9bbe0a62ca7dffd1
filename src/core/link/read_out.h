#pragma once

#include <QString>

// Timing and limits of a read-out, and what the user is told when one ends early.
namespace read_out {

// A block reply is taken only when the line stays quiet this long after its
// last byte: at 115200 baud a character takes 87 us, so a few characters of a
// reply that goes on would be in well within it, with room for the event
// loop's scheduling. Extra bytes within the window make the delivery wrong.
constexpr int kQuietWindowMs = 5;

// A reply that stopped short stays short: while bytes flow, a serial adapter
// hands them over every few milliseconds (16 ms at most for the slowest USB
// adapters), so a reply that has not grown in this long has lost bytes.
constexpr int kStallCheckMs = 500;

// Deliveries of one block that may go wrong before the read-out gives up.
constexpr int kAttemptsPerBlock = 3;
// Watchdog re-sends of one block that may go unanswered before it gives up.
constexpr int kUnansweredResends = 3;

// Why a read-out ended early: the port went away, the instrument did not
// answer, its deliveries kept going wrong, or a front end stopped it (the
// command line on Ctrl+C).
enum class End { Disconnected, NoAnswer, BadData, Stopped };

// Why it ended, in words: "仪器已断开", "仪器未应答" ...
QString reason(End why);

// The message of a read-out that ended early: why, and which groups arrived
// (first to last; none when last < first).
QString interruptionText(End why, qint32 first, qint32 last);

// The message of a group count that never came, which asked for no groups:
// "没有读到组数：仪器未应答。"
QString countFailureText(End why);

}  // namespace read_out
