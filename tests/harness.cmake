# The headless game harness: a library every game-side test program links.
# In a build that generates the game data, tests that miss it fail.
add_library(harness STATIC ${CMAKE_CURRENT_SOURCE_DIR}/harness/harness.cpp)
target_compile_options(harness PRIVATE ${BR_WARNINGS})
target_include_directories(harness PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(harness PUBLIC game)
if(BR_DATA)
  target_compile_definitions(harness PRIVATE BR_GAME_DATA_EXPECTED=1)
endif()

foreach(dir ${BR_TEST_DIRS})
  get_filename_component(name ${dir} NAME)
  if(TARGET test_${name} AND NOT name IN_LIST BR_ENGINE_TEST_DIRS)
    target_link_libraries(test_${name} PRIVATE harness)
  endif()
endforeach()

# Cost of a harness frame, drawn and undrawn (Google Benchmark): figures, not
# a test; tests/bench/run runs it.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(bench_harness EXCLUDE_FROM_ALL ${CMAKE_CURRENT_SOURCE_DIR}/bench/harness_bench.cpp)
  target_compile_options(bench_harness PRIVATE ${BR_WARNINGS})
  target_include_directories(bench_harness PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(bench_harness PRIVATE harness benchmark::benchmark)
endif()
