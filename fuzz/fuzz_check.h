#pragma once

#include <cstdio>
#include <cstdlib>

// A property of the input that must hold: when it does not, the fuzzer keeps the input as a
// crash and the message says which property broke.
#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)
