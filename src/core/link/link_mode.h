#pragma once

// What the link is doing, above the details of each wait. Each mode has one
// thing it waits for and a way out:
//
//   Searching      a probe reply; each search step's probe window  -> Linked
//   Linked         live replies; 31 silent ticks of Timer2         -> Searching
//   AwaitingCount  the group count; re-sends, then gives up        -> ChoosingRange, or back
//   ChoosingRange  the user (the read-range dialog); no deadline   -> ReadingOut, or back
//   ReadingOut     block replies; the block watchdog and framing   -> back
//
// "Back" is Linked while the instrument answers and Searching otherwise; a
// lost port goes back from anywhere but a running read-out, which ends
// first. The search and the live poll run in Searching and Linked only.
enum class LinkMode { Searching, Linked, AwaitingCount, ChoosingRange, ReadingOut };

namespace link_mode {

// Whether the port search (Timer2) and the live poll (Timer3) run.
constexpr bool pollsRun(LinkMode mode)
{
    return mode == LinkMode::Searching || mode == LinkMode::Linked;
}

// The mode's name, for the serial log and for test traces.
const char *name(LinkMode mode);

}  // namespace link_mode
