#pragma once

// This process's memory as Linux tells it in /proc/self, for the benchmarks
// that report what a step costs in memory.
namespace process_memory {

constexpr double kKiBPerMiB = 1024.0;

// VmRSS or VmHWM ("VmRSS:", "VmHWM:"), in MiB; 0 when unknown.
double statusMiB(const char *key);

// Lets VmHWM start again from the current resident size. False where that
// cannot be done, and the peak then counts from the process's start.
bool resetPeak();

}  // namespace process_memory
