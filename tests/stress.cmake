# Long robustness runs, kept out of ./check: tests/stress/run builds and runs them.
add_executable(stress_soak EXCLUDE_FROM_ALL ${CMAKE_CURRENT_SOURCE_DIR}/stress/soak.cpp)
target_compile_options(stress_soak PRIVATE ${BR_WARNINGS})
target_link_libraries(stress_soak PRIVATE harness)
set_target_properties(stress_soak PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
