# Cross-building for 64-bit ARM (a Raspberry Pi with 64-bit Raspberry Pi OS, or any
# arm64 Debian 12) on an amd64 Debian 12 with multiarch: the arm64 libraries sit in
# /usr/lib/aarch64-linux-gnu beside the machine's own, so there is no sysroot.
# scripts/setup arm64 installs what this needs; scripts/build arm64 uses it.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

# pkg-config (libsndfile) reads the arm64 descriptions only.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# moc, rcc and uic are the build machine's own.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)

# The programs the build runs (the sound and icon generators) are arm64 too; qemu runs
# them here, with the arm64 libraries found through multiarch under /.
find_program(QUELVANE_QEMU_AARCH64 qemu-aarch64-static REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${QUELVANE_QEMU_AARCH64} -L /)

# cpack would name the build machine's architecture. dpkg-shlibdeps reads the
# arm64 libraries' symbols from multiarch for the package's dependencies.
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
