#include "fuzz_input.h"

#include <cstdio>
#include <cstdlib>

void fuzzFailure(const QString &what)
{
    std::fprintf(stderr, "property broken: %s\n", qPrintable(what));
    std::abort();
}
