// Invariant checks that stay on in every build: a broken text index must stop, not corrupt.
#pragma once

#include <cstdio>
#include <cstdlib>

#define MIREKA_ASSERT(cond)                                                                        \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #cond);      \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
