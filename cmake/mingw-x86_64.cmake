# Cross build for 64-bit Windows with MinGW-w64: not a release. The same
# sources as the 32-bit build, for the Windows checks on a machine whose
# kernel starts no 32-bit program, where Wine runs 64-bit programs only.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
