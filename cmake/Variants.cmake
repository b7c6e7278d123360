# Build variants for finding faults: the sanitizers, and the fuzz targets of
# fuzz/ on top of them. Both are off in a normal build.
option(WORDMOOT_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(WORDMOOT_FUZZ "Build the libFuzzer targets of fuzz/ (clang only; implies the sanitizers)"
       OFF)

if(WORDMOOT_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "WORDMOOT_FUZZ needs clang: configure with CXX=clang++")
    endif()
    set(WORDMOOT_SANITIZE ON)
    # Coverage for the fuzzer in every library; the fuzz targets alone link
    # libFuzzer's main (fuzz/CMakeLists.txt). Test programs built alongside
    # still run: the sanitizer runtime answers the coverage calls.
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(WORDMOOT_SANITIZE)
    # Any report ends the program with an error, undefined behaviour too.
    set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all)
    add_compile_options(${sanitizers} -fno-omit-frame-pointer)
    add_link_options(${sanitizers})
    # The benchmarks say that their figures are not the program's own.
    add_compile_definitions(WORDMOOT_SANITIZED)
endif()
