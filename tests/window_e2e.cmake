# End-to-end tests of the game's window (Xvfb + evilwm + xdotool).
foreach(script window_modes window_nodisplay)
  add_test(NAME e2e_${script}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${script}.sh $<TARGET_FILE:bramblets2>)
  set_tests_properties(e2e_${script} PROPERTIES LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 60)
endforeach()
# The window's modes, idle load and close on a server without GLX.
add_test(NAME e2e_window_modes_noglx
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/window_modes.sh $<TARGET_FILE:bramblets2>)
set_tests_properties(e2e_window_modes_noglx PROPERTIES LABELS "e2e;noglx" SKIP_RETURN_CODE 77
  TIMEOUT 60 ENVIRONMENT "E2E_NO_GLX=1")
