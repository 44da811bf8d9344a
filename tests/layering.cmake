# Layering of the source tree (SDL only in engine/host, engine/host below
# everything else, the game only through the engine), and a check that the
# check itself catches planted breaches.
add_test(NAME layering_check
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/layering_check.sh ${CMAKE_SOURCE_DIR})
add_test(NAME layering_check_self_test
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/layering_check.sh --self-test)
set_tests_properties(layering_check layering_check_self_test PROPERTIES LABELS "unit;layering")
