# 32-bit Linux build of the portable core and its tests (gcc -m32): the
# plug-in's own word size and pointer size, on a machine that builds for
# Windows but may not run Windows programs. A kernel that starts no 32-bit
# program (some virtual machines) runs the tests through qemu's user-mode
# emulator.
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR i686)
execute_process(COMMAND /lib/ld-linux.so.2 --version RESULT_VARIABLE dz_native32 OUTPUT_QUIET ERROR_QUIET)
if(NOT dz_native32 EQUAL 0)
  find_program(DZ_QEMU_I386 qemu-i386-static qemu-i386 REQUIRED)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${DZ_QEMU_I386})
endif()
