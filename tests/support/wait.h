#pragma once

#include <functional>

// Runs the event loop until `done` holds or `timeoutMs` pass; returns whether it held.
// Unlike QTest::qWait, which sleeps between passes of the loop, this keeps the
// loop waiting on its sources, so timers and serial notifications are handled
// when they are due, as in the running program.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);
