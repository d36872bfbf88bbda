# Checks that a Windows executable is PE32+ for x86-64 and imports only DLLs
# that every Windows system has (no MinGW runtime or third-party DLL).
# Usage: cmake -DOBJDUMP=... -DEXE=... -P CheckPeImports.cmake
foreach(var OBJDUMP EXE)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

execute_process(COMMAND "${OBJDUMP}" -p "${EXE}"
  OUTPUT_VARIABLE dump ERROR_VARIABLE err RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p failed (${rc}): ${err}")
endif()

if(NOT dump MATCHES "file format pei-x86-64")
  message(FATAL_ERROR "${EXE} is not a PE file for x86-64")
endif()
if(NOT dump MATCHES "Magic[ \t]+020b[ \t]+\\(PE32\\+\\)")
  message(FATAL_ERROR "${EXE} is not PE32+")
endif()

# DLLs of Windows itself (compared in lower case).
set(allowed
  kernel32 user32 gdi32 advapi32 shell32 ole32 oleaut32 comdlg32 shlwapi
  comctl32 winmm ws2_32 iphlpapi netapi32 crypt32 bcrypt secur32 ntdll
  msvcrt ucrtbase version userenv rpcrt4 wldap32 normaliz mpr imm32 uxtheme
  dwmapi psapi dbghelp wtsapi32 powrprof setupapi winspool.drv shcore)

string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
  message(FATAL_ERROR "${EXE} imports no DLL at all: objdump output not understood")
endif()
set(bad "")
set(all "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^DLL Name: *" "" dll "${line}")
  string(STRIP "${dll}" dll)
  string(TOLOWER "${dll}" name)
  string(REGEX REPLACE "\\.dll$" "" name "${name}")
  list(APPEND all "${dll}")
  if(name MATCHES "^api-ms-win-")
    continue()
  endif()
  list(FIND allowed "${name}" idx)
  if(idx LESS 0)
    list(APPEND bad "${dll}")
  endif()
endforeach()
list(JOIN all ", " all)
if(bad)
  list(JOIN bad ", " bad)
  message(FATAL_ERROR "${EXE} needs non-system DLLs: ${bad} (all imports: ${all})")
endif()
message(STATUS "PE32+ x86-64; imports: ${all}")
