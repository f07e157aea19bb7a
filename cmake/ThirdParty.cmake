# Third-party code, all from Debian's packages, staged into the build tree at configure time:
#   tessel::rapidjson  tessel::stb   header-only
#   tessel::minizip                  minizip's unzip layer over MinGW's zlib
#   GTest::gtest(_main), GTest::gmock from /usr/src/googletest
set(TESSEL_THIRD_PARTY_DIR ${CMAKE_BINARY_DIR}/third_party)
execute_process(
  COMMAND ${CMAKE_SOURCE_DIR}/scripts/stage-third-party.sh ${TESSEL_THIRD_PARTY_DIR}
  RESULT_VARIABLE stage_result)
if(NOT stage_result EQUAL 0)
  message(FATAL_ERROR "Staging third-party sources failed: run scripts/install-deps.sh")
endif()

add_library(tessel_rapidjson INTERFACE)
target_include_directories(tessel_rapidjson SYSTEM INTERFACE ${TESSEL_THIRD_PARTY_DIR}/include)
add_library(tessel::rapidjson ALIAS tessel_rapidjson)

add_library(tessel_stb INTERFACE)
target_include_directories(tessel_stb SYSTEM INTERFACE ${TESSEL_THIRD_PARTY_DIR}/include)
add_library(tessel::stb ALIAS tessel_stb)

set(ZLIB_USE_STATIC_LIBS ON)  # libz.a, not the import library of zlib1.dll
find_package(ZLIB REQUIRED)
add_library(tessel_minizip STATIC
  ${TESSEL_THIRD_PARTY_DIR}/minizip/unzip.c
  ${TESSEL_THIRD_PARTY_DIR}/minizip/ioapi.c)
target_include_directories(tessel_minizip SYSTEM PUBLIC ${TESSEL_THIRD_PARTY_DIR}/minizip)
target_compile_definitions(tessel_minizip PRIVATE NOCRYPT NOUNCRYPT)
target_compile_options(tessel_minizip PRIVATE -w)
target_link_libraries(tessel_minizip PUBLIC ZLIB::ZLIB)
add_library(tessel::minizip ALIAS tessel_minizip)

if(TESSEL_BUILD_TESTS)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
