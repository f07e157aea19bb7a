# ZIP archives embedded in the programs (the skin package, the product's files), made by
# scripts/zip-folder.py: fixed entry times and attributes, entries sorted by name, so that two
# checkouts of one commit embed the same bytes.
#
#   tessel_add_zip(<output> FOLDER <folder> [FILES <relative path>...] [DEPENDS <file or target>...]
#                  [COMMENT <text>])
#     FILES are relative to FOLDER, "/" separated (generator expressions allowed); without FILES
#     the archive holds every file below FOLDER when the build runs.
#   tessel_check_archive_names(<folder>)
#     stops the configuration when a file name below the folder is one the installer would refuse.

# Debian's own Python first (scripts/install-deps.sh installs it): one zlib for every build.
find_program(TESSEL_PYTHON NAMES python3 HINTS /usr/bin REQUIRED)
set(TESSEL_ZIP_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../scripts/zip-folder.py)
get_filename_component(TESSEL_ZIP_SCRIPT ${TESSEL_ZIP_SCRIPT} ABSOLUTE)

function(tessel_add_zip output)
  cmake_parse_arguments(ARG "" "FOLDER;COMMENT" "FILES;DEPENDS" ${ARGN})
  add_custom_command(OUTPUT ${output}
    COMMAND ${TESSEL_PYTHON} ${TESSEL_ZIP_SCRIPT} ${output} ${ARG_FOLDER} ${ARG_FILES}
    DEPENDS ${ARG_DEPENDS} ${TESSEL_ZIP_SCRIPT}
    COMMENT "${ARG_COMMENT}"
    VERBATIM)
endfunction()

function(tessel_check_archive_names folder)
  execute_process(COMMAND ${TESSEL_PYTHON} ${TESSEL_ZIP_SCRIPT} --check ${folder}
    RESULT_VARIABLE result ERROR_VARIABLE problems)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${problems}")
  endif()
endfunction()
