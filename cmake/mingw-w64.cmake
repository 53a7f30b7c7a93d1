# Cross build for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DQUARTO_GUI=OFF
# The posix threads flavour of the compiler (std::thread, std::mutex), and the C and C++
# runtimes linked in, so that the programs run on their own (and under wine) without the
# compiler's DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUARTO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUARTO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUARTO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUARTO_MINGW_TRIPLE}-windres)

# Libraries and headers come from the mingw sysroot and from QUARTO_WIN_DEPS, the folder the
# libraries built for Windows are installed in (libjpeg-turbo, libpng, libcdio), never from this
# machine's /usr; programs are this machine's.
set(QUARTO_WIN_DEPS "" CACHE PATH "Prefix of the libraries built for Windows")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QUARTO_WIN_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/${QUARTO_MINGW_TRIPLE} ${QUARTO_WIN_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must not hand out this machine's libraries either.
set(ENV{PKG_CONFIG_LIBDIR} "${QUARTO_WIN_DEPS}/lib/pkgconfig:/usr/${QUARTO_MINGW_TRIPLE}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# Static C, C++ and threads runtimes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Debian's zlib for mingw has a DLL too: take the static library.
set(ZLIB_USE_STATIC_LIBS ON)
