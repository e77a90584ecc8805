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
