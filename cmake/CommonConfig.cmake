# One INTERFACE target that carries the language standard, the warnings and the
# optional sanitizers for every target of the project.
set(VANTREEL_SANITIZE "" CACHE STRING "Sanitizers to build with: empty, 'address,undefined' or 'thread'")

add_library(vt_common INTERFACE)
target_compile_features(vt_common INTERFACE cxx_std_20)

# The version, for the program's texts and the Windows version resource. "08"
# is written as 8 where a number is wanted (a leading 0 would read as octal).
math(EXPR vt_version_major "${PROJECT_VERSION_MAJOR} + 0")
math(EXPR vt_version_minor "${PROJECT_VERSION_MINOR} + 0")
configure_file(${CMAKE_CURRENT_LIST_DIR}/Version.h.in ${CMAKE_BINARY_DIR}/generated/Version.h @ONLY)
target_include_directories(vt_common INTERFACE ${CMAKE_BINARY_DIR}/generated)
set(CMAKE_CXX_EXTENSIONS OFF)

# One executable that needs no runtime library installed.
set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")

if(MSVC)
    # The sources are UTF-8; the program's texts become GBK at run time.
    target_compile_options(vt_common INTERFACE /utf-8 /W4 /permissive-)
elseif(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(vt_common INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor)
    # Reproducible builds: no folder of the build machine in the binaries
    # (__FILE__, debug information), and on Windows no link time in the PE
    # header, so two builds of one commit give the same bytes.
    target_compile_options(vt_common INTERFACE
        -ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
        -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
    if(WIN32)
        target_link_options(vt_common INTERFACE -Wl,--no-insert-timestamp)
    elseif(NOT VANTREEL_SANITIZE AND NOT VANTREEL_FUZZ)
        # Debian's hardening: checked buffer functions where the compiler
        # can check them, a guarded stack, and relocations made read-only at start.
        target_compile_options(vt_common INTERFACE -fstack-protector-strong
            $<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
        target_link_options(vt_common INTERFACE -Wl,-z,relro -Wl,-z,now)
    endif()
    if(VANTREEL_WERROR)
        target_compile_options(vt_common INTERFACE -Werror)
    endif()
    # GCC 12 at -O3 (Release) reports std::string's own copies as overlapping
    # (its bug 105651, mended in GCC 13): a false -Wrestrict, turned off there.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(vt_common INTERFACE -Wno-restrict)
    endif()
    if(VANTREEL_FUZZ)
        target_compile_options(vt_common INTERFACE -fsanitize=fuzzer-no-link)
    endif()
    if(VANTREEL_SANITIZE)
        target_compile_options(vt_common INTERFACE
            -fsanitize=${VANTREEL_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
        target_link_options(vt_common INTERFACE -fsanitize=${VANTREEL_SANITIZE})
    endif()
endif()

# Strict Qt defines for the targets that use Qt: no implicit conversions from
# 8-bit strings, so every text crosses the GBK codec on purpose.
add_library(vt_qt_strict INTERFACE)
target_compile_definitions(vt_qt_strict INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_USE_QSTRINGBUILDER)
