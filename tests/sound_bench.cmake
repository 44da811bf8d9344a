# Sound mixing benchmark (Google Benchmark). Its CPU time per iteration is the
# cost of one second of audio: figures, not a test; tests/bench/run runs it.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(bench_sound EXCLUDE_FROM_ALL ${CMAKE_CURRENT_SOURCE_DIR}/bench/sound_bench.cpp)
  target_compile_options(bench_sound PRIVATE ${BR_WARNINGS})
  target_include_directories(bench_sound PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(bench_sound PRIVATE engine benchmark::benchmark)
endif()
