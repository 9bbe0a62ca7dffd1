#pragma once

#include <QString>

// Timing and limits of a read-out, and what the user is told when one ends early.
namespace read_out {

// A block reply is taken only when the line has stayed quiet after its last
// byte for longer than any pause the delivery can still hold. A reply has no
// length or check of its own: with stray bytes in front, its length is in
// before its last bytes, and a window shorter than the pause before them
// would take every group of the block shifted. How long the pauses are
// depends on the adapter: a USB-serial adapter hands over what it holds when
// its packet is full or its latency timer runs out (16 ms by default on an
// FTDI chip, 1 ms where the driver lowers it), so the last, partial packet of
// a reply comes that much after the rest. The window follows the longest
// pause the adapter has shown between the pieces of its recent deliveries.
//
// The floor: at 115200 baud a character takes 87 us, so a few characters of
// a reply that goes on are in well within it, with room for the event loop.
constexpr int kQuietFloorMs = 5;
// The pause assumed before the adapter has delivered a whole block in this
// read-out: the window it gives (41 ms) outlasts the 16 ms of an FTDI
// adapter's default latency timer and any pause up to 40 ms. It costs its
// length once, on the first block.
constexpr int kUnknownAdapterPauseMs = 24;
// Recent deliveries whose longest pause sets the window: a single hold-up
// of the host's event loop does not slow the rest of a long read-out.
constexpr int kPausesRemembered = 4;

// The quiet window for deliveries whose longest pause between pieces is
// `pauseMs`: half as long again as that pause, above the floor.
constexpr int quietWindowMs(int pauseMs) { return kQuietFloorMs + pauseMs * 3 / 2; }

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
