#pragma once

// CPU use of this process, for checks and benchmarks that a program idles.

// Runs the event loop for ms with nothing of its own in it (no polling timer),
// so only the program's own events run.
void runEventLoopFor(int ms);

// The share of one core this process used while the event loop ran for ms.
double cpuShareOver(int ms);
