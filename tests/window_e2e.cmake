# End-to-end tests of the game's window (Xvfb + evilwm + xdotool).
foreach(script window_modes window_nodisplay)
  add_test(NAME e2e_${script}
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/${script}.sh $<TARGET_FILE:bramblets2>)
  set_tests_properties(e2e_${script} PROPERTIES LABELS e2e SKIP_RETURN_CODE 77 TIMEOUT 60)
endforeach()
