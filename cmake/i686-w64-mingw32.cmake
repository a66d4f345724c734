# Cross build for 32-bit Windows with MinGW-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)
# Every archive is made with the compiler's own gcc-ar, which keeps the optimiser's information for
# the link-time optimisation: the libraries, and the archive of a program's own objects that each
# link makes first. Plain ar reads that information only through a compiler plugin that a machine
# with no native GCC lacks, and then warns "plugin needed to handle lto object".
set(CMAKE_AR ${MINGW_TRIPLET}-gcc-ar-posix)
set(CMAKE_RANLIB ${MINGW_TRIPLET}-gcc-ranlib-posix)
set(CMAKE_C_COMPILER_AR ${MINGW_TRIPLET}-gcc-ar-posix)
set(CMAKE_CXX_COMPILER_AR ${MINGW_TRIPLET}-gcc-ar-posix)
set(CMAKE_C_COMPILER_RANLIB ${MINGW_TRIPLET}-gcc-ranlib-posix)
set(CMAKE_CXX_COMPILER_RANLIB ${MINGW_TRIPLET}-gcc-ranlib-posix)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(WINE_ARCH win32)
