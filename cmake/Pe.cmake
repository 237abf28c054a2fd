# PE builds (win9x: i686 product; wine: x86_64 stand-in run under wine64).
#
# Product code is freestanding: no libstdc++, no mingw start-up files, only
# the system DLLs' import libraries, msvcrt.dll and the clean parts of
# libgcc. The prebuilt mingw runtime uses CMOV/FCOMI and imports functions
# Windows 95 lacks, so nothing of it may reach a product program.

if(NOT PELMORA_PE_FLAVOUR)
  message(FATAL_ERROR "Configure PE builds with cmake/toolchain-win9x.cmake "
                      "or cmake/toolchain-wine.cmake")
endif()

# mingw's default list adds winspool, oleaut32, uuid, comdlg32 ... to every
# link; each program names what it uses instead.
set(CMAKE_C_STANDARD_LIBRARIES "" CACHE STRING "" FORCE)
set(CMAKE_CXX_STANDARD_LIBRARIES "" CACHE STRING "" FORCE)

# The system DLLs a product program may import from. An import library only
# adds the functions actually referenced, so listing one costs nothing.
set(PELMORA_PE_SYSTEM_LIBS kernel32 user32 gdi32 advapi32 shell32 comctl32
                           ole32)

# Windows 95-level headers (structures keep their old sizes), ANSI calls.
set(PELMORA_PE_DEFINES WINVER=0x0400 _WIN32_WINNT=0x0400 _WIN32_IE=0x0400)

# Each function and object in its own section, so that the link keeps only
# what a program reaches: both programs link the same libraries, and each
# uses a part of them.
set(PELMORA_PE_CODE_OPTIONS -fno-exceptions -fno-rtti -fno-threadsafe-statics
                            -ffunction-sections -fdata-sections)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  # Every PC that runs Windows 98, a 486 included: no CMOV, no FCOMI. No
  # unwind tables: nothing throws, and 32-bit Windows never reads them (the
  # x86_64 build keeps them, its exception dispatch walks them).
  list(APPEND PELMORA_PE_CODE_OPTIONS -march=i486
       -fno-asynchronous-unwind-tables -fno-unwind-tables)
  set(PELMORA_SYMBOL_PREFIX "_")
else()
  set(PELMORA_SYMBOL_PREFIX "")
endif()

# Compile options for product libraries and programs.
function(pelmora_product_code target)
  target_compile_options(${target} PRIVATE ${PELMORA_PE_CODE_OPTIONS})
  target_compile_definitions(${target} PRIVATE ${PELMORA_PE_DEFINES})
endfunction()

# What a library over Win32 links: for a freestanding program (marked by
# pelmora_product_exe) the system import libraries, our runtime, msvcrt and
# libgcc in one group, because libgcc's constructor runner needs atexit from
# our runtime and our runtime needs libgcc's helpers; for a hosted program
# (the Wine test runner) only the import libraries, the compiler driver adds
# mingw's own runtime.
add_library(pelmora_pe_system INTERFACE)
set(_pelmora_freestanding
    "$<BOOL:$<TARGET_PROPERTY:PELMORA_FREESTANDING_EXE>>")
string(JOIN ";" _pelmora_system_joined ${PELMORA_PE_SYSTEM_LIBS})
target_link_libraries(
  pelmora_pe_system
  INTERFACE
    "$<${_pelmora_freestanding}:-Wl,--start-group;pelmora_crt;${_pelmora_system_joined};msvcrt;gcc;-Wl,--end-group>"
    "$<$<NOT:${_pelmora_freestanding}>:${_pelmora_system_joined}>")

# pelmora_product_exe(target [CONSOLE] sources...): a product program with
# our own entry point (WinMainCRTStartup, or mainCRTStartup for CONSOLE),
# PE subsystem and OS version 4.0, linked freestanding.
function(pelmora_product_exe target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "CONSOLE" "" "")
  if(ARG_CONSOLE)
    add_executable(${target} ${ARG_UNPARSED_ARGUMENTS})
    set(subsystem console)
    set(entry mainCRTStartup)
  else()
    add_executable(${target} WIN32 ${ARG_UNPARSED_ARGUMENTS})
    set(subsystem windows)
    set(entry WinMainCRTStartup)
  endif()
  pelmora_product_code(${target})
  set_property(TARGET ${target} PROPERTY PELMORA_FREESTANDING_EXE ON)
  target_link_options(
    ${target}
    PRIVATE
    -nostartfiles
    -nodefaultlibs
    -Wl,--disable-runtime-pseudo-reloc
    -Wl,--subsystem,${subsystem}:4.0
    -Wl,--major-os-version,4
    -Wl,--minor-os-version,0
    # No link time in the header: the same sources give the same bytes.
    -Wl,--no-insert-timestamp
    -Wl,-e,${PELMORA_SYMBOL_PREFIX}${entry}
    -Wl,-u,${PELMORA_SYMBOL_PREFIX}${entry}
    # Every kilobyte is read from a slow disk at each start: unreached
    # sections dropped, no symbol table in the file (the map beside the
    # program names what went in), no relocations (an EXE is always loaded
    # at its base address on Windows 9x).
    -Wl,--gc-sections
    -s
    -Wl,-Map,$<TARGET_FILE:${target}>.map
    -Wl,--disable-reloc-section)
  target_link_libraries(${target} PRIVATE pelmora_pe_system)
  pelmora_pe_checks(${target})
endfunction()

# The checks every PE program goes through: every import exists in Windows
# 95 OSR2, and (i686 only; x86_64 always has CMOV) no instruction a 486
# lacks. They write a stamp only on success, so a failing program fails
# every build until it is fixed.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(PELMORA_WIN9X_EXPORTS "${CMAKE_SOURCE_DIR}/../shared/win9x-exports"
    CACHE PATH "Folder with the Windows 9x export lists (*.tsv)")
function(pelmora_pe_checks target)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${target}.pe-checked)
  set(commands
      COMMAND
      ${Python3_EXECUTABLE}
      ${CMAKE_SOURCE_DIR}/scripts/check-pe-imports.py
      --exports
      ${PELMORA_WIN9X_EXPORTS}
      --reviewed
      ${CMAKE_SOURCE_DIR}/scripts/pe-imports-reviewed.tsv
      $<TARGET_FILE:${target}>)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    list(APPEND commands COMMAND env OBJDUMP=${PELMORA_OBJDUMP}
         ${CMAKE_SOURCE_DIR}/scripts/check-pe-instructions.sh
         $<TARGET_FILE:${target}>)
  endif()
  add_custom_command(
    OUTPUT ${stamp}
    ${commands}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${target} ${CMAKE_SOURCE_DIR}/scripts/check-pe-imports.py
            ${CMAKE_SOURCE_DIR}/scripts/check-pe-instructions.sh
            ${CMAKE_SOURCE_DIR}/scripts/pe-imports-reviewed.tsv
    COMMENT "Checking ${target} for Windows 95 imports and 486 instructions"
    VERBATIM)
  add_custom_target(${target}_pe_checks ALL DEPENDS ${stamp})
endfunction()
