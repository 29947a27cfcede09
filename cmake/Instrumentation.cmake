# Optional instrumented builds, each meant for a build folder of its own.
#
# SCATTERDECK_SANITIZE: every target with AddressSanitizer and
# UndefinedBehaviorSanitizer; any report ends the program, so a test that
# triggers one fails.
# SCATTERDECK_FUZZ: the same sanitizers plus libFuzzer coverage
# instrumentation for all library code, and the fuzz targets of fuzz/.
# Needs clang (CXX=clang++).
option(SCATTERDECK_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(SCATTERDECK_FUZZ "Build the libFuzzer targets (clang only)" OFF)

set(scatterdeck_sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all
    -fno-omit-frame-pointer)

if(SCATTERDECK_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "SCATTERDECK_FUZZ needs clang: configure with CXX=clang++")
    endif()
    add_compile_options(${scatterdeck_sanitizers} -fsanitize=fuzzer-no-link)
    add_link_options(${scatterdeck_sanitizers})
elseif(SCATTERDECK_SANITIZE)
    add_compile_options(${scatterdeck_sanitizers})
    add_link_options(${scatterdeck_sanitizers})
endif()
