/*
 * fuzzcheck.h: a failed property in a fuzz target is reported with its
 * place and ends the run, so that libFuzzer keeps the input that broke it.
 */
#ifndef GV_FUZZ_FUZZCHECK_H
#define GV_FUZZ_FUZZCHECK_H

#include <stdio.h>
#include <stdlib.h>

#define FUZZ_CHECK(condition)                                                                \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition); \
            abort();                                                                         \
        }                                                                                    \
    } while (0)

#endif
