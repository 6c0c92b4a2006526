# Compile options of the fuzz build, for the library and the fuzz targets
# alike: libFuzzer's coverage hooks, AddressSanitizer (with LeakSanitizer)
# and UndefinedBehaviorSanitizer, every report fatal.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "KX_BUILD_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++).")
endif()

# clang does not search g++'s own include folder, where <quadmath.h> lives;
# it is searched last, so clang's headers keep precedence.
find_program(KX_GXX NAMES g++-12 g++ REQUIRED)
execute_process(COMMAND ${KX_GXX} -print-file-name=include OUTPUT_VARIABLE KX_GCC_INCLUDE
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
add_compile_options(-idirafter ${KX_GCC_INCLUDE})
# What clang needs to compile against g++'s headers (see the file).
add_compile_options(-include ${CMAKE_CURRENT_LIST_DIR}/clang_compat.h)

set(KX_FUZZ_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=all)
add_compile_options(-fsanitize=fuzzer-no-link ${KX_FUZZ_SANITIZERS} -gline-tables-only)
add_link_options(${KX_FUZZ_SANITIZERS})
