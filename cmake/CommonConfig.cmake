# One configuration target that every library, program and test of Tresorio links:
# the language standard, the warnings (errors for our own code) and the hardening flags.
add_library(tresorio_common INTERFACE)
target_compile_features(tresorio_common INTERFACE cxx_std_20)
target_compile_options(tresorio_common INTERFACE
    -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor -Wshadow -Werror)
target_compile_definitions(tresorio_common INTERFACE _GLIBCXX_ASSERTIONS)
# GCC 12 at -O3 reports overlapping copies inside std::string's operator+ that cannot happen
# (GCC bug 105651); the check is worthless there.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(tresorio_common INTERFACE -Wno-restrict)
endif()
set(CMAKE_CXX_EXTENSIONS OFF)

if(TRESORIO_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(TRESORIO_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(TRESORIO_CLANG_TIDY)
    find_program(CLANG_TIDY clang-tidy REQUIRED)
    set(CMAKE_CXX_CLANG_TIDY ${CLANG_TIDY})
endif()
