# Builds that look for memory and undefined-behaviour faults: the whole tree
# under AddressSanitizer and UndefinedBehaviorSanitizer, and (clang only) the
# libFuzzer targets of the file readers in tests/fuzz.
option(KV_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(KV_FUZZ "Build the libFuzzer targets of the file readers (clang; implies KV_SANITIZE)" OFF)
set(KV_FUZZ_SECONDS 60 CACHE STRING "Seconds each fuzz target runs under the ctest label fuzz")
math(EXPR KV_FUZZ_TEST_TIMEOUT "${KV_FUZZ_SECONDS} + 120")

if(KV_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KV_FUZZ needs clang with libFuzzer: -DCMAKE_CXX_COMPILER=clang++")
endif()

if(KV_SANITIZE OR KV_FUZZ)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(KV_FUZZ)
    # Coverage feedback for the fuzzers from every library they reach.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()
