# Debian's hardening defaults (dpkg-buildflags with hardening=+all on Debian 12) for the optimised builds,
# the ones the run command and the package use: checked string and memory functions, stack protection,
# read-only relocations resolved at start (relro and bindnow). Position-independent executables are
# the compiler's default on Debian. The sanitizer and fuzzing builds leave them out: FORTIFY_SOURCE's
# checked functions hide calls from the sanitizers' interceptors, and their programs are not shipped.
if(NOT DARV_SANITIZE AND NOT DARV_FUZZ)
    set(darv_optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
    add_compile_options(
        "$<${darv_optimised}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>"
        "$<${darv_optimised}:-fstack-protector-strong>"
        "$<${darv_optimised}:-Wformat;-Werror=format-security>")
    add_link_options("$<${darv_optimised}:LINKER:-z,relro;LINKER:-z,now>")
endif()
