// Invariant checks for the fuzz targets: a broken one aborts, so libFuzzer
// keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                    \
  ((condition)                                                                                   \
       ? void()                                                                                  \
       : (std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition), \
          std::abort()))
