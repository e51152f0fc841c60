# A file whose name says portable holds no Windows call: every C/C++ file
# that includes a Windows header, itself or through one of our headers, has a
# name ending in _win, unless it lies in a folder that only the Win32 build
# compiles (WIN32_FOLDERS).  The headers of a Win32 library whose names are
# the library's own (WIN32_LIBRARY_FOLDERS: DornEnv.h declares its exports
# with __declspec(dllimport)) count as Windows headers to the files that
# include them.  Portable files keep their names; a _posix file is portable
# too.
#   cmake -DSOURCE_DIR=<tree> -P PlatformNames.cmake      checks a tree
#   cmake -DSELF_TEST_DIR=<dir> -P PlatformNames.cmake    checks the check
cmake_minimum_required(VERSION 3.25)

set(WIN32_LIBRARY_FOLDERS dornenv)
set(WIN32_FOLDERS
    ${WIN32_LIBRARY_FOLDERS} bench/win dornmsg tests/dornmsg tests/e2e tests/excel-standin tests/support tests/tessaro
    tests/uidriver tests/win32 tools/dornenv-standin tools/excel-standin tools/sample-product
    tools/uidriver)
# The platform's headers, matched against the lower-cased name in <...>.
set(WINDOWS_HEADER
    "^(windows|win[a-z0-9_]*|ole[a-z0-9]*|oaidl|ocidl|objbase|objidl[a-z]*|unknwn|wtypes[a-z]*|combaseapi|comdef|comutil|commctrl|commdlg|shlobj[a-z_]*|shellapi|shlwapi|shtypes|knownfolders|tlhelp32|psapi|sddl|aclapi|accctrl|lmcons|mmsystem|vfw|initguid|guiddef|propidl|richedit|uxtheme|dwmapi|imm|dbghelp|userenv|tchar|mbstring|crtdbg|strsafe|intsafe|versionhelpers|sdkddkver|ntdef|ntstatus|rpc[a-z]*|[a-z]+api|process|io|direct|conio|share)\\.h$")

function(platform_sources root out)
  file(GLOB top RELATIVE ${root} LIST_DIRECTORIES true ${root}/*)
  set(found)
  foreach(dir IN LISTS top)
    if(NOT IS_DIRECTORY ${root}/${dir} OR dir MATCHES "^(build.*|dist|\\..*)$")
      continue()
    endif()
    file(GLOB_RECURSE part RELATIVE ${root} ${root}/${dir}/*.cpp ${root}/${dir}/*.cc
         ${root}/${dir}/*.c ${root}/${dir}/*.h ${root}/${dir}/*.hpp ${root}/${dir}/*.inl)
    list(APPEND found ${part})
  endforeach()
  list(FILTER found EXCLUDE REGEX "^tests/fuzz/corpus/")
  list(SORT found)
  set(${out} ${found} PARENT_SCOPE)
endfunction()

function(in_folder_of file folders out)
  set(${out} FALSE PARENT_SCOPE)
  foreach(folder IN LISTS ${folders})
    string(FIND "${file}" "${folder}/" at)
    if(at EQUAL 0)
      set(${out} TRUE PARENT_SCOPE)
    endif()
  endforeach()
endfunction()

# Checks the tree at root; the names of the files that break the rule, each
# with its reason ("FILE: REASON"), go to out.
function(platform_violations root out)
  platform_sources(${root} files)
  foreach(f IN LISTS files)
    get_filename_component(base ${f} NAME)
    list(APPEND "by_base_${base}" ${f})
  endforeach()

  # The Windows headers each file includes, and its quoted includes resolved
  # as the compiler would: its own folder first, then any folder.
  foreach(f IN LISTS files)
    file(STRINGS ${root}/${f} lines REGEX "^[ \t]*#[ \t]*include")
    get_filename_component(here ${f} DIRECTORY)
    set("reach_${f}")
    in_folder_of(${f} WIN32_LIBRARY_FOLDERS library)
    if(library)
      set("why_${f}" "a Win32 library's header")
    endif()
    foreach(line IN LISTS lines)
      if(line MATCHES "^[ \t]*#[ \t]*include[ \t]*<([^>]+)>")
        set(name "${CMAKE_MATCH_1}")
        string(TOLOWER "${name}" lower)
        if(lower MATCHES "${WINDOWS_HEADER}" AND NOT DEFINED "why_${f}")
          set("why_${f}" "includes <${name}>")
        endif()
      elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\"")
        set(name "${CMAKE_MATCH_1}")
        if(here)
          cmake_path(SET near NORMALIZE "${here}/${name}")
        else()
          cmake_path(SET near NORMALIZE "${name}")
        endif()
        if(EXISTS ${root}/${near} AND NOT IS_DIRECTORY ${root}/${near})
          list(APPEND "reach_${f}" "${near}|${name}")
        else()
          get_filename_component(nbase "${name}" NAME)
          foreach(c IN LISTS "by_base_${nbase}")
            list(APPEND "reach_${f}" "${c}|${name}")
          endforeach()
        endif()
      endif()
    endforeach()
  endforeach()

  # Through our headers, until nothing changes.
  set(changed TRUE)
  while(changed)
    set(changed FALSE)
    foreach(f IN LISTS files)
      if(DEFINED "why_${f}")
        continue()
      endif()
      foreach(pair IN LISTS "reach_${f}")
        string(REPLACE "|" ";" pair "${pair}")
        list(GET pair 0 target)
        list(GET pair 1 name)
        if(DEFINED "why_${target}")
          set("why_${f}" "includes \"${name}\" (${target}, Win32)")
          set(changed TRUE)
          break()
        endif()
      endforeach()
    endforeach()
  endwhile()

  set(bad)
  foreach(f IN LISTS files)
    if(NOT DEFINED "why_${f}")
      continue()
    endif()
    in_folder_of(${f} WIN32_FOLDERS whole)
    get_filename_component(stem ${f} NAME_WLE)
    if(NOT whole AND NOT stem MATCHES "_win$")
      list(APPEND bad "${f}: ${why_${f}}")
    endif()
  endforeach()
  set(${out} "${bad}" PARENT_SCOPE)
endfunction()

# A small tree with one case of each kind, and the files it must name.
function(platform_self_test dir)
  file(REMOVE_RECURSE ${dir})
  set(cases
    [=[fw/Portable.cpp|#include <vector>|-]=]
    [=[fw/Direct.cpp|#include <Windows.h>|includes <Windows.h>]=]
    [=[fw/Spaced.h|  #  include <commctrl.h>|includes <commctrl.h>]=]
    [=[fw/SysHeaders.cpp|#include <sys/io.h>\n#include <malloc.h>\n#include <io.hpp>|-]=]
    [=[fw/Commented.cpp|// #include <windows.h>\n/* #include <ole2.h> */|-]=]
    [=[fw/Thing_win.h|#include <oleauto.h>|-]=]
    [=[fw/Thing_win.cpp|#include "Thing_win.h"|-]=]
    [=[fw/UsesThing.cpp|#include "Thing_win.h"|includes "Thing_win.h" (fw/Thing_win.h, Win32)]=]
    [=[fw/Middle.h|#include "String.h"\n#include "Thing_win.h"|includes "Thing_win.h" (fw/Thing_win.h, Win32)]=]
    [=[fw/String.h|#include <string>|-]=]
    [=[quimbex/core/Deep.h|#include "Middle.h"|includes "Middle.h" (fw/Middle.h, Win32)]=]
    [=[tessaro/engine/Disk_posix.cpp|#include <direct.h>|includes <direct.h>]=]
    [=[tests/win32/SomeTest.cpp|#include <windows.h>|-]=]
    [=[tools/uidriver/Poll.h|#include <windows.h>|-]=]
    [=[tools/uidriver/Plain.h|#include <string>|-]=]
    [=[tessaro/UsesPoll.cpp|#include "Poll.h"|includes "Poll.h" (tools/uidriver/Poll.h, Win32)]=]
    [=[tessaro/UsesPlain.cpp|#include "Plain.h"|-]=]
    [=[tessaro/Near.h|#include <string>|-]=]
    [=[tessaro/UsesNear.cpp|#include "Near.h"|-]=]
    [=[tests/win32/Near.h|#include <windows.h>|-]=]
    [=[build/win/Generated.cpp|#include <windows.h>|-]=]
    [=[dornenv/Env.h|#include "String.h"|-]=]
    [=[tessaro/UsesEnv.h|#include "Env.h"|includes "Env.h" (dornenv/Env.h, Win32)]=]
    [=[tessaro/UsesEnv_win.cpp|#include "UsesEnv.h"|-]=]
    [=[tools/uidriver/UsesEnv.cpp|#include "Env.h"|-]=])
  set(expected)
  foreach(c IN LISTS cases)
    string(REPLACE "|" ";" c "${c}")
    list(GET c 0 path)
    list(GET c 1 text)
    list(GET c 2 reason)
    string(REPLACE "\\n" "\n" text "${text}")
    file(WRITE ${dir}/${path} "${text}\n")
    if(NOT reason STREQUAL "-")
      list(APPEND expected "${path}: ${reason}")
    endif()
  endforeach()
  platform_violations(${dir} got)
  list(SORT expected)
  list(SORT got)
  if(NOT got STREQUAL expected)
    string(REPLACE ";" "\n  " e "${expected}")
    string(REPLACE ";" "\n  " g "${got}")
    message(FATAL_ERROR "The check of file names is wrong.\nExpected:\n  ${e}\nGot:\n  ${g}")
  endif()
  message(STATUS "The check of file names finds each case of its test tree.")
endfunction()

if(DEFINED SELF_TEST_DIR)
  platform_self_test(${SELF_TEST_DIR})
elseif(DEFINED SOURCE_DIR)
  platform_violations(${SOURCE_DIR} bad)
  if(bad)
    string(REPLACE ";" "\n  " list "${bad}")
    message(FATAL_ERROR
      "These files may hold Windows calls but their names say portable; "
      "name each X_win.cpp or X_win.h (docs/ARCHITECTURE.md, \"Portable and Win32 files\"):\n  ${list}")
  endif()
  message(STATUS "Every file that may hold Windows calls is named _win.")
else()
  message(FATAL_ERROR "Give -DSOURCE_DIR=<tree> or -DSELF_TEST_DIR=<dir>.")
endif()
