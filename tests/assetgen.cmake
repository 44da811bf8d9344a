# The data generator's tests (tests/unit/assetgen) also link the generator's
# own library, and run after the data has been generated into the build root.
if(TARGET test_assetgen)
  if(NOT TARGET assetgen_core)
    add_subdirectory(${CMAKE_SOURCE_DIR}/tools/assetgen ${CMAKE_BINARY_DIR}/tools/assetgen)
  endif()
  target_link_libraries(test_assetgen PRIVATE assetgen_core)
  # where the stage sources are, should BR_SOURCE_DIR not reach the test
  target_compile_definitions(test_assetgen PRIVATE BR_ASSETGEN_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(TARGET assetdata)
    add_dependencies(test_assetgen assetdata)
    target_compile_definitions(test_assetgen PRIVATE BR_DATA_GENERATED=1)
  endif()
endif()
