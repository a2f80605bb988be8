# The posix thread model: GoogleTest needs std::mutex; the runtime is linked
# statically, so nothing extra ships.
set(CMAKE_C_COMPILER ${FW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${FW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${FW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Nothing of the MinGW runtime is shipped beside the binaries.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
