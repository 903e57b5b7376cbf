#pragma once
// Invariants of the engine, checked in debug and sanitizer builds: a broken one stops the
// program there, with the file, line and condition, instead of writing a wrong Data file or
// quietly costing speed. Release builds compile the checks out.

#include <cstdio>
#include <cstdlib>

#if !defined(NDEBUG) || defined(QUARROW_CHECKS)
#define QUARROW_CHECK(condition)                                                                   \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
#else
#define QUARROW_CHECK(condition)                                                                   \
    do {                                                                                           \
    } while (false)
#endif
