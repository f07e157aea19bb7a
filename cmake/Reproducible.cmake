# Two builds of one commit, in two checkouts anywhere on any day, make the same bytes. What would
# otherwise differ, and what keeps it out:
#   - the link time, which ld writes into the PE header of each program unless told not to;
#   - the folders of the checkout and the build tree, through __FILE__ (asserts, and anything
#     else that names its source) and debug information: they are written as "." and "build"
#     instead. The build tree is named second so that it wins where it lies inside the checkout.
#   - archive entry times, attributes and order: cmake/ZipArchive.cmake.
# Absolute paths the tests compile in (TESSEL_SUPPORT_DIR and the like) are definitions of test
# targets only; tests/packaging checks that no build folder reaches the shipped programs.
add_link_options(-Wl,--no-insert-timestamp)
add_compile_options(
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>"
  "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>")
