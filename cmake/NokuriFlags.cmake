# Every target links nokuri_flags: one place for the language level, warnings and Qt defines.
add_library(nokuri_flags INTERFACE)
target_compile_features(nokuri_flags INTERFACE cxx_std_20)
target_compile_options(nokuri_flags INTERFACE
    -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor -Woverloaded-virtual -Werror)
target_compile_definitions(nokuri_flags INTERFACE
    QT_DISABLE_DEPRECATED_BEFORE=0x060400
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_URL_CAST_FROM_STRING)
# GCC reports the payload of std::optional as maybe-uninitialized in optimised builds
# (GCC bug 80635), which would fail every release build on false alarms.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(nokuri_flags INTERFACE -Wno-maybe-uninitialized)
endif()

# make test-asan: every target under AddressSanitizer and UndefinedBehaviorSanitizer.
option(NOKURI_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
# make fuzz: clang's coverage for libFuzzer on every target, the sanitizers too; the fuzz
# targets themselves link the fuzzer's main.
option(NOKURI_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(NOKURI_SANITIZE OR NOKURI_FUZZ)
    set(NOKURI_SANITIZERS -fsanitize=address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
    target_compile_options(nokuri_flags INTERFACE ${NOKURI_SANITIZERS})
    target_link_options(nokuri_flags INTERFACE ${NOKURI_SANITIZERS})
endif()
if(NOKURI_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "NOKURI_FUZZ needs clang (libFuzzer)")
    endif()
    target_compile_options(nokuri_flags INTERFACE -fsanitize=fuzzer-no-link)
endif()
