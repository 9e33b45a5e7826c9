# The -posix drivers: GoogleTest needs std::condition_variable.
set(CMAKE_C_COMPILER ${ZEVR_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEVR_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZEVR_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZEVR_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Test programs run under Wine through a wrapper that picks the loader when
# it runs: the cached emulator never names a loader this machine may refuse.
get_filename_component(ZEVR_WINE_RUN "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${ZEVR_WINE_RUN})
