# Every target of the build with AddressSanitizer (leaks included) and UndefinedBehaviorSanitizer.
# Undefined behaviour aborts instead of printing and going on, so that it fails the test that
# met it. With clang the code also carries libFuzzer's coverage, and the fuzz targets are built.
set(VELMOX_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
                           -fno-omit-frame-pointer)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  # Also the checks g++ has no counterpart for; unsigned wrap-around is well defined and used
  # on purpose (hashes, the random source), so that one is left out.
  list(APPEND VELMOX_SANITIZER_FLAGS -fsanitize=float-divide-by-zero,implicit-integer-truncation
                                     -fno-sanitize-recover=all)
  set(VELMOX_FUZZ ON)
endif()

add_compile_options(-O1 ${VELMOX_SANITIZER_FLAGS})
add_link_options(${VELMOX_SANITIZER_FLAGS})
if(VELMOX_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
