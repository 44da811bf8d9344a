# The files `cmake --install` gives the desktop: metainfo, manual page and the
# example controls file, checked with Debian's appstreamcli and man.
add_test(NAME desktop_files
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/desktop/desktop_files.sh ${CMAKE_BINARY_DIR})
set_tests_properties(desktop_files PROPERTIES LABELS desktop SKIP_RETURN_CODE 77 TIMEOUT 120)
