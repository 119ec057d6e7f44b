// Invariant checks for the fuzz targets: a broken one aborts, so libFuzzer keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(c) \
  ((c) ? void()       \
       : (std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #c), std::abort()))
