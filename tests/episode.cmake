# The episode's route tests replay every stage with the generated game data
# of the build tree and read the routes from the source tree; the stage
# checks use the data generator's library.
if(TARGET test_episode)
  target_compile_definitions(test_episode PRIVATE BR_EPISODE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  if(NOT TARGET assetgen_core)
    add_subdirectory(${CMAKE_SOURCE_DIR}/tools/assetgen ${CMAKE_BINARY_DIR}/tools/assetgen)
  endif()
  target_link_libraries(test_episode PRIVATE assetgen_core)
  if(TARGET assetdata)
    add_dependencies(test_episode assetdata)
  endif()
endif()
