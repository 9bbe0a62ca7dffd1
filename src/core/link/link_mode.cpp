#include "core/link/link_mode.h"

namespace link_mode {

const char *name(LinkMode mode)
{
    switch (mode) {
    case LinkMode::Searching: return "searching";
    case LinkMode::Linked: return "linked";
    case LinkMode::AwaitingCount: return "awaiting-count";
    case LinkMode::ChoosingRange: return "choosing-range";
    case LinkMode::ReadingOut: return "reading-out";
    }
    return "?";
}

}  // namespace link_mode
