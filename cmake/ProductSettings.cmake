# What the installers ship, as build settings. The defaults give today's product: the stand-ins
# built from product/, version 1.0.3.12, published by "Tessel Technology Co., Ltd.".
#
#   TESSEL_PRODUCT_DIR      folder of the product's files, zipped whole (subfolders too) into the
#                           silent installer; empty: the stand-ins built from product/
#   TESSEL_PRODUCT_VERSION  both programs' version resources, and through the silent installer's
#                           own version the "DisplayVersion" of the Add/Remove Programs entry
#   TESSEL_PUBLISHER        "Publisher" of that entry and "CompanyName" of both programs
#
# Gives, for the folders' CMakeLists.txt and resource scripts:
#   TESSEL_FILE_VERSION, TESSEL_FILE_VERSION_COMMAS   the version as four numbers: 1.0.3.12, 1,0,3,12
#   TESSEL_PUBLISHER_RC                               the publisher escaped for a resource string
#   TESSEL_PRODUCT_SETTINGS_SOURCE                    C++ source defining tessel::kPublisher
#   tessel_add_product_archive()                      the archive of the product's files
# Archives are made by cmake/ZipArchive.cmake, included before.
include(${CMAKE_CURRENT_LIST_DIR}/ProductRules.cmake)

set(TESSEL_PRODUCT_DIR "" CACHE PATH
  "Folder of the product's files (with Launcher.exe and Uninst.exe); empty: the stand-ins")
set(TESSEL_PRODUCT_VERSION 1.0.3.12 CACHE STRING "Product version, up to four numbers")
set(TESSEL_PUBLISHER "Tessel Technology Co., Ltd." CACHE STRING "The product's publisher")

if(TESSEL_PRODUCT_DIR)
  tessel_check_product_folder("${TESSEL_PRODUCT_DIR}")
  tessel_check_archive_names("${TESSEL_PRODUCT_DIR}")
endif()

tessel_normalize_version("${TESSEL_PRODUCT_VERSION}" TESSEL_FILE_VERSION)
string(REPLACE "." "," TESSEL_FILE_VERSION_COMMAS "${TESSEL_FILE_VERSION}")

tessel_check_publisher("${TESSEL_PUBLISHER}")
tessel_escape_for_rc("${TESSEL_PUBLISHER}" TESSEL_PUBLISHER_RC)
tessel_escape_for_cpp("${TESSEL_PUBLISHER}" publisher_cpp)
# A source file rather than a definition on every compile line: only this file is built again
# when the name changes, and no shell quoting stands between the name and the code.
set(TESSEL_PRODUCT_SETTINGS_SOURCE ${CMAKE_BINARY_DIR}/generated/ProductPublisher.cpp)
file(CONFIGURE OUTPUT ${TESSEL_PRODUCT_SETTINGS_SOURCE} CONTENT
"// Made by cmake/ProductSettings.cmake from the build setting TESSEL_PUBLISHER.
#include \"base/ProductFacts.h\"

namespace tessel {

const wchar_t kPublisher[] = L\"${publisher_cpp}\";

}  // namespace tessel
" @ONLY)

# The archive the silent installer carries: every file of TESSEL_PRODUCT_DIR, or the stand-in
# programs (the targets given) from their output folder.
function(tessel_add_product_archive archive)
  cmake_parse_arguments(ARG "" "STAND_IN_FOLDER" "STAND_IN_TARGETS" ${ARGN})
  if(TESSEL_PRODUCT_DIR)
    # Files added to or removed from the folder configure the build again before it zips.
    file(GLOB_RECURSE files CONFIGURE_DEPENDS FOLLOW_SYMLINKS
      RELATIVE ${TESSEL_PRODUCT_DIR} ${TESSEL_PRODUCT_DIR}/*)
    list(TRANSFORM files PREPEND ${TESSEL_PRODUCT_DIR}/ OUTPUT_VARIABLE paths)
    tessel_add_zip(${archive} FOLDER ${TESSEL_PRODUCT_DIR} DEPENDS ${paths}
      COMMENT "Zipping the product's files from ${TESSEL_PRODUCT_DIR}")
  else()
    set(names "")
    foreach(target IN LISTS ARG_STAND_IN_TARGETS)
      list(APPEND names "$<TARGET_FILE_NAME:${target}>")
    endforeach()
    tessel_add_zip(${archive} FOLDER ${ARG_STAND_IN_FOLDER} FILES ${names}
      DEPENDS ${ARG_STAND_IN_TARGETS} COMMENT "Zipping the product's stand-in programs")
  endif()
endfunction()
