# System DLLs bound when first called instead of by the loader at the start: the installer's first
# frame needs none of shell32, shlwapi, ole32, oleaut32 or setupapi (a click, a screen reader or
# the end of an installation does), and under Wine every DLL loaded at the start costs milliseconds. GDI+ is delay-loaded for a
# second reason: gdiplus.dll is not one of the system's known DLLs on every Windows the installer
# supports (not on Windows 7), so imported the usual way it would be looked for beside the
# executable (a download folder) before any of our code runs.
#
# Each delay-import library is made from MinGW's own import library: its exported names become a
# module definition at configure time, and dlltool turns that into the delay-import library. The
# first call then goes through the runtime's __delayLoadHelper2 (libmingwex), whose notify hook
# (base/DelayLoadHook.cpp) loads the DLL from the system folder by its full path.
#
# tessel_delay_import_library(<name>) gives the imported library tessel::<name>_delay. The file sets
# TESSEL_DELAY_HOOK_SYMBOL, the hook's linker name, which a linking program must ask for so that the
# hook comes in before the runtime's default (tessel_base does so for every program).

find_program(TESSEL_DLLTOOL NAMES ${TESSEL_MINGW_TRIPLE}-dlltool REQUIRED)
find_program(TESSEL_NM NAMES ${TESSEL_MINGW_TRIPLE}-nm REQUIRED)

# Every "__imp_" symbol of the import library names one export; 32-bit C names carry one more
# leading underscore, and their "@N" stays for dlltool, which drops it from the imported name.
if(TESSEL_ARCH STREQUAL "i686")
  set(TESSEL_DELAY_C_PREFIX "_")
  set(TESSEL_DELAY_KILL_AT --kill-at)
  set(TESSEL_DELAY_HOOK_SYMBOL ___pfnDliNotifyHook2)
else()
  set(TESSEL_DELAY_C_PREFIX "")
  set(TESSEL_DELAY_KILL_AT "")
  set(TESSEL_DELAY_HOOK_SYMBOL __pfnDliNotifyHook2)
endif()

function(tessel_delay_import_library name)
  if(TARGET tessel::${name}_delay)
    return()
  endif()
  find_library(TESSEL_${name}_IMPORT_LIBRARY NAMES lib${name}.a ${name} REQUIRED)
  set(import_library ${TESSEL_${name}_IMPORT_LIBRARY})
  set(folder ${CMAKE_BINARY_DIR}/delay-import/${name})
  set(delay_library ${folder}/lib${name}_delay.a)
  file(MAKE_DIRECTORY ${folder})
  if(NOT EXISTS ${delay_library} OR ${import_library} IS_NEWER_THAN ${delay_library})
    execute_process(COMMAND ${TESSEL_NM} ${import_library}
                    OUTPUT_VARIABLE symbols RESULT_VARIABLE nm_result)
    if(NOT nm_result EQUAL 0)
      message(FATAL_ERROR "${TESSEL_NM} could not read ${import_library}")
    endif()
    string(REGEX MATCHALL " I __imp_${TESSEL_DELAY_C_PREFIX}[A-Za-z0-9_@]+" imports "${symbols}")
    set(exports "")
    foreach(import IN LISTS imports)
      string(REGEX REPLACE "^ I __imp_${TESSEL_DELAY_C_PREFIX}" "" export "${import}")
      string(APPEND exports "    ${export}\n")
    endforeach()
    list(LENGTH imports export_count)
    if(export_count LESS 20)
      message(FATAL_ERROR "only ${export_count} exports found in ${import_library}")
    endif()
    file(WRITE ${folder}/${name}.def "LIBRARY ${name}.dll\nEXPORTS\n${exports}")
    # Run inside the folder: dlltool names its members and symbols after the output path given.
    execute_process(
      COMMAND ${TESSEL_DLLTOOL} --input-def ${name}.def --dllname ${name}.dll
              ${TESSEL_DELAY_KILL_AT} --output-delaylib lib${name}_delay.a
      WORKING_DIRECTORY ${folder}
      RESULT_VARIABLE dlltool_result)
    if(NOT dlltool_result EQUAL 0)
      message(FATAL_ERROR "${TESSEL_DLLTOOL} could not make ${delay_library}")
    endif()
    # Beside its import members an import library may hold data of MinGW's own (GDI+'s wrapper
    # classes keep format GUIDs and cached objects there); it goes along, so that nothing has to
    # come from the import library and bind the DLL at the start again.
    execute_process(COMMAND ${CMAKE_AR} t ${import_library}
                    OUTPUT_VARIABLE members OUTPUT_STRIP_TRAILING_WHITESPACE)
    string(REPLACE "\n" ";" members "${members}")
    list(FILTER members EXCLUDE REGEX "^lib${name}[hst][0-9]*\\.o$")
    if(members)
      execute_process(COMMAND ${CMAKE_AR} x ${import_library} ${members} WORKING_DIRECTORY ${folder})
      execute_process(COMMAND ${CMAKE_AR} rs ${delay_library} ${members}
                      WORKING_DIRECTORY ${folder} RESULT_VARIABLE ar_result)
      if(NOT ar_result EQUAL 0)
        message(FATAL_ERROR "${CMAKE_AR} could not add ${members} to ${delay_library}")
      endif()
    endif()
  endif()
  add_library(tessel::${name}_delay STATIC IMPORTED GLOBAL)
  set_target_properties(tessel::${name}_delay PROPERTIES IMPORTED_LOCATION ${delay_library})
endfunction()

foreach(dll gdiplus shell32 shlwapi ole32 oleaut32 setupapi)
  tessel_delay_import_library(${dll})
endforeach()
