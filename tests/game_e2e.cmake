# End-to-end tests of the real game under Xvfb with evilwm, driven by xdotool
# and checked through its screenshots, its files and its exit code. Each
# script skips (exit code 77) when the data was not generated.
add_executable(game_shot ${CMAKE_CURRENT_SOURCE_DIR}/e2e/game_shot.cpp)
target_compile_options(game_shot PRIVATE ${BR_WARNINGS})
target_link_libraries(game_shot PRIVATE engine)
set_target_properties(game_shot PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

foreach(script game_play game_close game_install game_missing_files game_kill_tally
               game_controls)
  if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${script}.sh)
    continue()
  endif()
  add_test(NAME e2e_${script}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${script}.sh
            $<TARGET_FILE:bramblets2> $<TARGET_FILE:game_shot>)
  set_tests_properties(e2e_${script} PROPERTIES LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 120
    ENVIRONMENT "BR_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endforeach()
# The installed game needs `cmake --install` of this build tree.
if(TEST e2e_game_install)
  set_tests_properties(e2e_game_install PROPERTIES
    TIMEOUT 180 ENVIRONMENT "BR_SOURCE_DIR=${CMAKE_SOURCE_DIR};BR_BUILD_DIR=${CMAKE_BINARY_DIR}")
endif()

# The same game on an X server without GLX: the default renderer needs no
# OpenGL. The menu, a stage and the close run as in game_play; the window
# script checks icon, key taps, mode switches and the scale filter at a
# fractional (1024 x 768) and a whole (1600 x 1200) factor.
add_test(NAME e2e_game_play_noglx
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/game_play.sh
          $<TARGET_FILE:bramblets2> $<TARGET_FILE:game_shot>)
set_tests_properties(e2e_game_play_noglx PROPERTIES LABELS "e2e;noglx" SKIP_RETURN_CODE 77
  TIMEOUT 120 ENVIRONMENT "BR_SOURCE_DIR=${CMAKE_SOURCE_DIR};E2E_NO_GLX=1")
foreach(size 1024x768 1600x1200)
  string(REPLACE "x" ";" wh ${size})
  list(GET wh 0 w)
  list(GET wh 1 h)
  add_test(NAME e2e_window_noglx_${size}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/window_noglx.sh
            $<TARGET_FILE:bramblets2> $<TARGET_FILE:game_shot>)
  set_tests_properties(e2e_window_noglx_${size} PROPERTIES LABELS "e2e;noglx"
    SKIP_RETURN_CODE 77 TIMEOUT 120 ENVIRONMENT "SCREEN_W=${w};SCREEN_H=${h}")
endforeach()
