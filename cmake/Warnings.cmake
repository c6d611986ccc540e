# Warnings as errors for our own targets only.
add_library(darv_warnings INTERFACE)
target_compile_options(darv_warnings INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Werror)
