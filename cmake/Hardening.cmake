# The protections that a distribution's build flags give every package it
# builds (Debian's dpkg-buildflags with hardening=+all), for the optimised
# builds, which are the ones shipped. The program reads shader and texture
# files and the driver's log into buffers; these catch an overrun there at
# run time instead of letting it run on.
#
# Debug builds stay as they are (_FORTIFY_SOURCE needs optimisation), and so
# do sanitizer builds: the fortified string functions would check the
# accesses themselves before AddressSanitizer sees them.
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)

if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    return()
endif()

if(WIN32)
    # Address-space randomisation with 64-bit entropy and a non-executable
    # stack and heap (DEP): binutils' defaults for x86-64 PE files, stated so
    # that they stay whatever the defaults become.
    add_link_options(LINKER:--dynamicbase,--high-entropy-va,--nxcompat)
else()
    # A position-independent executable, so that the program is loaded at a
    # random address too. Debian's GCC makes one by default; these say so for
    # compilers that do not. (The libraries are all static, linked into the
    # executables, so -fPIE suits them as well.)
    check_cxx_compiler_flag(-fPIE KORVANE_HAS_PIE)
    if(KORVANE_HAS_PIE)
        add_compile_options(-fPIE)
        add_link_options("$<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-pie>")
    endif()
endif()

if(KORVANE_SANITIZE)
    return()
endif()

set(korvaneOptimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
# For the compilers only: the resource compiler takes none of these.
set(korvaneHardened "$<AND:${korvaneOptimised},$<COMPILE_LANGUAGE:C,CXX>>")

# Stack protector on functions with arrays or addresses of locals; on
# Windows GCC links its libssp for the checks, statically like the rest.
add_compile_options("$<${korvaneHardened}:-fstack-protector-strong>")
add_link_options("$<${korvaneOptimised}:-fstack-protector-strong>")
# Checked variants of the C library's string and memory functions where the
# buffer's size is known at compile time. -U first: some compilers define it
# already.
add_compile_options("$<${korvaneHardened}:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
# A format string that is not a literal and has no arguments is an error.
add_compile_options("$<${korvaneHardened}:-Wformat;-Werror=format-security>")

if(WIN32)
    return()
endif()

# Each stack frame larger than a page probed page by page, so that a large
# one cannot jump over the guard page into another mapping.
check_cxx_compiler_flag(-fstack-clash-protection KORVANE_HAS_STACK_CLASH_PROTECTION)
if(KORVANE_HAS_STACK_CLASH_PROTECTION)
    add_compile_options("$<${korvaneHardened}:-fstack-clash-protection>")
endif()
# Control-flow protection (Intel CET: indirect-branch targets and a shadow
# stack), where the compiler targets a processor that has it.
check_cxx_compiler_flag(-fcf-protection KORVANE_HAS_CF_PROTECTION)
if(KORVANE_HAS_CF_PROTECTION)
    add_compile_options("$<${korvaneHardened}:-fcf-protection>")
endif()
# Full RELRO: every symbol bound at start-up, then the relocation tables
# made read-only.
check_linker_flag(CXX "LINKER:-z,relro,-z,now" KORVANE_HAS_FULL_RELRO)
if(KORVANE_HAS_FULL_RELRO)
    add_link_options("$<${korvaneOptimised}:LINKER:-z,relro,-z,now>")
endif()
