# Warnings as errors for our own targets only.
add_library(darv_warnings INTERFACE)
target_compile_options(darv_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Werror)

# GCC 12 in optimised builds reports -Wrestrict inside std::string's inlined _M_replace when a string
# is built with operator+(const char*, std::string&&) (GCC bug 105329, a false positive in libstdc++'s
# own code, fixed in GCC 13). Only that warning is turned off, only for GCC 12; every other warning
# stays an error.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
   AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(darv_warnings INTERFACE -Wno-restrict)
endif()
