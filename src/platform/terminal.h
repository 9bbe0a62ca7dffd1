#pragma once

#include <cstdio>

// Whether a stream goes to a terminal, where a person watches it, rather
// than into a file or a pipe, where a program reads it line by line.
namespace terminal {

bool isTerminal(std::FILE *stream);

}  // namespace terminal
