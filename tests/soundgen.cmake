# The sound generator's tests (tests/unit/soundgen) link the generator's own
# library and check the files the build wrote into audio/ when it generated them.
if(TARGET test_soundgen)
  if(NOT TARGET soundgen_core)
    add_subdirectory(${CMAKE_SOURCE_DIR}/tools/soundgen ${CMAKE_BINARY_DIR}/tools/soundgen)
  endif()
  target_link_libraries(test_soundgen PRIVATE soundgen_core)
  if(TARGET sounddata)
    add_dependencies(test_soundgen sounddata)
    target_compile_definitions(test_soundgen PRIVATE BR_AUDIO_GENERATED=1)
  endif()
endif()
