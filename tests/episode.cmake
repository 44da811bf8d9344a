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

# The rate proofs: every stage's plan played at the common frame times. A
# program of their own, so that they carry only the label "rates".
if(TARGET test_episode)
  add_executable(test_rates ${CMAKE_CURRENT_SOURCE_DIR}/rates/stage_rates_test.cpp
                 ${CMAKE_CURRENT_SOURCE_DIR}/unit/episode/route_driver.cpp ${CMAKE_CURRENT_SOURCE_DIR}/test_main.cpp)
  target_compile_options(test_rates PRIVATE ${BR_WARNINGS})
  target_include_directories(test_rates PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(test_rates PRIVATE BR_SOURCE_DIR="${CMAKE_SOURCE_DIR}" BR_EPISODE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(test_rates PRIVATE harness game GTest::gtest)
  if(TARGET assetdata)
    add_dependencies(test_rates assetdata)
  endif()
  gtest_discover_tests(test_rates
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS rates)
endif()

