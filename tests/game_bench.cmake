# Game benchmarks (not tests): tests/bench/run builds and runs them and prints
# the figures.
add_executable(bench_frame EXCLUDE_FROM_ALL ${CMAKE_CURRENT_SOURCE_DIR}/bench/frame_bench.cpp)
target_compile_options(bench_frame PRIVATE ${BR_WARNINGS})
target_link_libraries(bench_frame PRIVATE harness)
set_target_properties(bench_frame PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
