# Instrumented builds for finding memory errors, undefined behaviour and leaks
# in the store and the report. Configure a build directory of its own with
#   -DTREKLINE_SANITIZE=ON                      AddressSanitizer + UBSan (+ LeakSanitizer)
#   -DTREKLINE_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14   the same, plus libFuzzer targets
# and build only the targets named in the Makefile: the window is not
# instrumented, its toolkit would only add noise and build time.
option(TREKLINE_SANITIZE "Instrument with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(TREKLINE_FUZZ "Build the libFuzzer targets (needs clang); implies TREKLINE_SANITIZE" OFF)

if(TREKLINE_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "TREKLINE_FUZZ needs clang (libFuzzer), e.g. -DCMAKE_CXX_COMPILER=clang++-14")
    endif()
    set(TREKLINE_SANITIZE ON CACHE BOOL "" FORCE)
endif()

if(TREKLINE_SANITIZE)
    # Any finding ends the program with an error, so that a test cannot pass
    # with a report printed above its result.
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
    if(TREKLINE_FUZZ)
        # Coverage feedback for the fuzzer from every layer it drives.
        add_compile_options(-fsanitize=fuzzer-no-link)
    endif()
endif()
