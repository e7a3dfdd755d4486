# The shipped program: the win32 thread model links no winpthreads, whose imports (GetTickCount64,
# the vectored exception handlers, ...) would keep the program off Windows 98, 2000 and XP.
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-i686.cmake)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-win32)
