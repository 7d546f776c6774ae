# Cross-builds the Windows front end with mingw-w64. The -posix compilers give std::thread and
# std::mutex; everything is linked statically so no compiler DLLs have to travel with the exe.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUILL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILL_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUILL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Vista's API level at least: WinINet time-outs and the wide shell calls need nothing older.
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX UNICODE _UNICODE _WIN32_WINNT=0x0601)
