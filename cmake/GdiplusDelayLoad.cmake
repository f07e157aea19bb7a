# GDI+ bound when first called instead of by the loader at start: gdiplus.dll is not one of the
# system's known DLLs on every Windows the installer supports (not on Windows 7), so imported the
# usual way it would be looked for beside the executable (a download folder) before any of our code
# runs. The delay-import library is made from MinGW's own import library: its exported names become
# a module definition at configure time, and dlltool turns that into the delay-import library.
# The first call then goes through the runtime's __delayLoadHelper2 (libmingwex), whose notify hook
# (ui/GdiplusDelayLoad.cpp) loads the DLL from the system folder by its full path.
#
# Gives the imported library tessel::gdiplus_delay and TESSEL_DELAY_HOOK_SYMBOL, the hook's linker
# name, which a linking program must ask for so that the hook comes in before the runtime's default.

find_library(TESSEL_GDIPLUS_IMPORT_LIBRARY NAMES libgdiplus.a gdiplus REQUIRED)
find_program(TESSEL_DLLTOOL NAMES ${TESSEL_MINGW_TRIPLE}-dlltool REQUIRED)
find_program(TESSEL_NM NAMES ${TESSEL_MINGW_TRIPLE}-nm REQUIRED)

set(gdiplus_def ${CMAKE_BINARY_DIR}/gdiplus-delay/gdiplus.def)
set(gdiplus_delay_library ${CMAKE_BINARY_DIR}/gdiplus-delay/libgdiplus_delay.a)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/gdiplus-delay)

# Every "__imp_" symbol of the import library names one export; 32-bit C names carry one more
# leading underscore, and their "@N" stays for dlltool, which drops it from the imported name.
if(TESSEL_ARCH STREQUAL "i686")
  set(c_prefix "_")
  set(kill_at --kill-at)
  set(TESSEL_DELAY_HOOK_SYMBOL ___pfnDliNotifyHook2)
else()
  set(c_prefix "")
  set(kill_at "")
  set(TESSEL_DELAY_HOOK_SYMBOL __pfnDliNotifyHook2)
endif()

if(NOT EXISTS ${gdiplus_delay_library} OR
   ${TESSEL_GDIPLUS_IMPORT_LIBRARY} IS_NEWER_THAN ${gdiplus_delay_library})
  execute_process(COMMAND ${TESSEL_NM} ${TESSEL_GDIPLUS_IMPORT_LIBRARY}
                  OUTPUT_VARIABLE symbols RESULT_VARIABLE nm_result)
  if(NOT nm_result EQUAL 0)
    message(FATAL_ERROR "${TESSEL_NM} could not read ${TESSEL_GDIPLUS_IMPORT_LIBRARY}")
  endif()
  string(REGEX MATCHALL " I __imp_${c_prefix}[A-Za-z0-9_@]+" imports "${symbols}")
  set(exports "")
  foreach(import IN LISTS imports)
    string(REGEX REPLACE "^ I __imp_${c_prefix}" "" name "${import}")
    string(APPEND exports "    ${name}\n")
  endforeach()
  list(LENGTH imports export_count)
  if(export_count LESS 100)
    message(FATAL_ERROR "only ${export_count} exports found in ${TESSEL_GDIPLUS_IMPORT_LIBRARY}")
  endif()
  file(WRITE ${gdiplus_def} "LIBRARY gdiplus.dll\nEXPORTS\n${exports}")
  # Run inside the folder: dlltool names its members and symbols after the output path given.
  execute_process(
    COMMAND ${TESSEL_DLLTOOL} --input-def gdiplus.def --dllname gdiplus.dll ${kill_at}
            --output-delaylib libgdiplus_delay.a
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/gdiplus-delay
    RESULT_VARIABLE dlltool_result)
  if(NOT dlltool_result EQUAL 0)
    message(FATAL_ERROR "${TESSEL_DLLTOOL} could not make ${gdiplus_delay_library}")
  endif()
  # Beside the import members, the import library holds MinGW's own data for the wrapper classes
  # (format GUIDs, the cached generic string formats and font families); it goes along, so that
  # nothing has to come from the import library and bind GDI+ at start again.
  execute_process(COMMAND ${CMAKE_AR} t ${TESSEL_GDIPLUS_IMPORT_LIBRARY}
                  OUTPUT_VARIABLE members OUTPUT_STRIP_TRAILING_WHITESPACE)
  string(REPLACE "\n" ";" members "${members}")
  list(FILTER members EXCLUDE REGEX "^libgdiplus[hst][0-9]*\\.o$")
  if(members)
    execute_process(COMMAND ${CMAKE_AR} x ${TESSEL_GDIPLUS_IMPORT_LIBRARY} ${members}
                    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/gdiplus-delay)
    execute_process(COMMAND ${CMAKE_AR} rs ${gdiplus_delay_library} ${members}
                    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/gdiplus-delay
                    RESULT_VARIABLE ar_result)
    if(NOT ar_result EQUAL 0)
      message(FATAL_ERROR "${CMAKE_AR} could not add ${members} to ${gdiplus_delay_library}")
    endif()
  endif()
endif()

add_library(tessel::gdiplus_delay STATIC IMPORTED GLOBAL)
set_target_properties(tessel::gdiplus_delay PROPERTIES IMPORTED_LOCATION ${gdiplus_delay_library})
