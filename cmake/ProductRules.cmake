# The rules a product's build settings must follow, kept apart from the configuration that applies
# them (cmake/ProductSettings.cmake) so that their test can run them without configuring a build:
#
#   cmake -DRULE=folder -DVALUE=<folder> -P cmake/ProductRules.cmake
#   cmake -DRULE=version -DVALUE=<text> -P cmake/ProductRules.cmake     prints the four numbers
#   cmake -DRULE=publisher -DVALUE=<text> -P cmake/ProductRules.cmake   prints both escapings
#
# A value that breaks a rule stops with a message naming the setting and what is wrong.

# The files the silent installer itself names: the product's shortcuts, the Add/Remove Programs
# entry and the finish page point at the launcher, the entry's uninstall command at "Uninst.exe".
set(TESSEL_PRODUCT_REQUIRED_FILES Launcher.exe Uninst.exe)

function(tessel_check_product_folder folder)
  if(NOT IS_ABSOLUTE "${folder}")
    message(FATAL_ERROR "TESSEL_PRODUCT_DIR must be an absolute path, not \"${folder}\"")
  endif()
  if(NOT IS_DIRECTORY "${folder}")
    message(FATAL_ERROR "TESSEL_PRODUCT_DIR: \"${folder}\" is not a folder")
  endif()
  set(missing "")
  foreach(name IN LISTS TESSEL_PRODUCT_REQUIRED_FILES)
    if(NOT EXISTS "${folder}/${name}" OR IS_DIRECTORY "${folder}/${name}")
      list(APPEND missing "${name}")
    endif()
  endforeach()
  if(missing)
    list(JOIN missing " and " missing_text)
    message(FATAL_ERROR
      "TESSEL_PRODUCT_DIR: \"${folder}\" has no ${missing_text}. The product folder must hold "
      "Launcher.exe (the program the shortcuts start) and Uninst.exe (the uninstaller) at its top.")
  endif()
endfunction()

# Version resources hold four 16-bit numbers; a shorter version is padded with zeros, so that the
# version strings say what the fixed numbers (and so "DisplayVersion") say.
function(tessel_normalize_version text out_var)
  if(NOT text MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
    message(FATAL_ERROR
      "TESSEL_PRODUCT_VERSION \"${text}\" is not one to four numbers separated by dots "
      "(such as 2.1.0.7)")
  endif()
  string(REPLACE "." ";" parts "${text}")
  set(numbers "")
  foreach(part IN LISTS parts)
    string(LENGTH "${part}" digits)
    if(digits GREATER 5 OR part GREATER 65535)
      message(FATAL_ERROR
        "TESSEL_PRODUCT_VERSION \"${text}\": each number must be at most 65535, not ${part}")
    endif()
    math(EXPR number "${part}")  # drops leading zeros
    list(APPEND numbers ${number})
  endforeach()
  list(LENGTH numbers count)
  while(count LESS 4)
    list(APPEND numbers 0)
    math(EXPR count "${count} + 1")
  endwhile()
  list(JOIN numbers "." normalized)
  set(${out_var} "${normalized}" PARENT_SCOPE)
endfunction()

# The publisher's name goes into a C++ wide string and into resource scripts: any printable text,
# quotes and backslashes included, but no control characters (a line break would end the string).
function(tessel_check_publisher text)
  if(text STREQUAL "")
    message(FATAL_ERROR "TESSEL_PUBLISHER must not be empty")
  endif()
  foreach(code RANGE 1 31)
    string(ASCII ${code} control)
    string(FIND "${text}" "${control}" at)
    if(at GREATER_EQUAL 0)
      message(FATAL_ERROR "TESSEL_PUBLISHER \"${text}\" holds a control character (code ${code})")
    endif()
  endforeach()
endfunction()

function(tessel_escape_for_cpp text out_var)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

# windres reads "" as a quote and \\ as a backslash inside a string.
function(tessel_escape_for_rc text out_var)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\"\"" text "${text}")
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(RULE STREQUAL "folder")
    tessel_check_product_folder("${VALUE}")
    message("folder: usable")
  elseif(RULE STREQUAL "version")
    tessel_normalize_version("${VALUE}" normalized)
    message("version: ${normalized}")
  elseif(RULE STREQUAL "publisher")
    tessel_check_publisher("${VALUE}")
    tessel_escape_for_cpp("${VALUE}" cpp)
    tessel_escape_for_rc("${VALUE}" rc)
    message("cpp: ${cpp}")
    message("rc: ${rc}")
  else()
    message(FATAL_ERROR "RULE must be folder, version or publisher")
  endif()
endif()
