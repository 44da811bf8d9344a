# Installation: `cmake --install build --prefix P` gives
#   P/lib/bramblets2/       the game with its data beside it (it finds its data
#                           next to its own executable): bramblets2, data.dat,
#                           tarn/ (stages, tile kinds), audio/, icon.bmp
#   P/bin/bramblets2        a relative symbolic link to the game
#   P/share/applications/org.bramblets2.bramblets2.desktop
#   P/share/metainfo/org.bramblets2.bramblets2.metainfo.xml  what software
#                           centres list the game by (its id names the
#                           desktop entry)
#   P/share/icons/hicolor/<n>x<n>/apps/bramblets2.png
#   P/share/man/man6/bramblets2.6   the manual page
#   P/share/doc/bramblets2/controls.cfg   a commented example of the
#                           player's own keys, holding the game's own
#   P/lib/bramblets2/bramblets2.installed   the marker that makes it an
#                           installed game: it names the folder it was
#                           installed into
# An installed game never writes into its installation, whoever runs it: it
# keeps progress, edited stages and screenshots under
# $XDG_DATA_HOME/bramblets2/ and reads them from there first. Installing
# never writes there, so a reinstall or an upgrade keeps the player's
# progress and edited stages in force.

set(BR_INSTALL_GAME_DIR lib/bramblets2)
set(BR_INSTALL_DOC_DIR share/doc/bramblets2)
set(BR_ICON_SIZES 32 64 128 256)
# The desktop entry's name and the metainfo's id, which must be the same.
set(BR_DESKTOP_ID org.bramblets2.bramblets2)
set(BR_DESKTOP_SOURCE ${CMAKE_SOURCE_DIR}/data/desktop)

install(TARGETS bramblets2 RUNTIME DESTINATION ${BR_INSTALL_GAME_DIR})
install(FILES ${CMAKE_BINARY_DIR}/data.dat DESTINATION ${BR_INSTALL_GAME_DIR} OPTIONAL)
# Only the game's own data: never a player's configuration or screenshots
# that a run in the build tree left behind.
install(DIRECTORY ${CMAKE_BINARY_DIR}/tarn/ DESTINATION ${BR_INSTALL_GAME_DIR}/tarn OPTIONAL
  FILES_MATCHING PATTERN "*.pak" PATTERN "*.mapd" PATTERN "world1.prp")
install(DIRECTORY ${CMAKE_BINARY_DIR}/audio/ DESTINATION ${BR_INSTALL_GAME_DIR}/audio OPTIONAL
  FILES_MATCHING PATTERN "*.ogg" PATTERN "*.wav")

# The marker holds the folder's final path (without DESTDIR, which only
# stages the files), so a copy of the installed folder elsewhere is not taken
# for the installation.
install(CODE "
  get_filename_component(game_dir \"\${CMAKE_INSTALL_PREFIX}/${BR_INSTALL_GAME_DIR}\" ABSOLUTE)
  file(WRITE \"${CMAKE_BINARY_DIR}/install-stage/bramblets2.installed\" \"\${game_dir}\n\")
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${BR_INSTALL_GAME_DIR}\" TYPE FILE
       FILES \"${CMAKE_BINARY_DIR}/install-stage/bramblets2.installed\")
")

# bin/bramblets2 -> ../lib/bramblets2/bramblets2 (the game resolves the link
# to find its folder). Made once in the build tree and installed as a link.
set(BR_INSTALL_STAGE ${CMAKE_BINARY_DIR}/install-stage)
file(MAKE_DIRECTORY ${BR_INSTALL_STAGE})
file(CREATE_LINK ../${BR_INSTALL_GAME_DIR}/bramblets2 ${BR_INSTALL_STAGE}/bramblets2 SYMBOLIC)
install(FILES ${BR_INSTALL_STAGE}/bramblets2 DESTINATION bin)

# The desktop entry names the installed program by its full path, known only
# at install time (--prefix may differ from the configured prefix).
install(CODE "
  set(exec \"\${CMAKE_INSTALL_PREFIX}/bin/bramblets2\")
  if(exec MATCHES \" \")
    set(exec \"\\\"\${exec}\\\"\")
  endif()
  file(WRITE \"${BR_INSTALL_STAGE}/${BR_DESKTOP_ID}.desktop\" \"[Desktop Entry]
Type=Application
Version=1.0
Name=BrAmBl3tS 2
GenericName=Platform game
Comment=Run, jump and climb through 20 stages, collect fruit and keys, stomp the walkers
Exec=\${exec}
Icon=bramblets2
Terminal=false
Categories=Game;ArcadeGame;
Keywords=platform;jump;arcade;
\")
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/share/applications\" TYPE FILE
       FILES \"${BR_INSTALL_STAGE}/${BR_DESKTOP_ID}.desktop\")
")
install(FILES ${BR_DESKTOP_SOURCE}/${BR_DESKTOP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${BR_DESKTOP_SOURCE}/controls.cfg DESTINATION ${BR_INSTALL_DOC_DIR})

# The manual page names the installed folders by their final paths.
install(CODE "
  get_filename_component(BR_GAME_DIR \"\${CMAKE_INSTALL_PREFIX}/${BR_INSTALL_GAME_DIR}\" ABSOLUTE)
  get_filename_component(BR_DOC_DIR \"\${CMAKE_INSTALL_PREFIX}/${BR_INSTALL_DOC_DIR}\" ABSOLUTE)
  configure_file(\"${BR_DESKTOP_SOURCE}/bramblets2.6\" \"${BR_INSTALL_STAGE}/bramblets2.6\" @ONLY)
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/share/man/man6\" TYPE FILE
       FILES \"${BR_INSTALL_STAGE}/bramblets2.6\")
")

# The icon is cut from the generated sprite sheet (a painted berry when the
# data was not generated).
add_executable(icongen ${CMAKE_SOURCE_DIR}/cmake/icongen.cpp)
target_compile_options(icongen PRIVATE ${BR_WARNINGS})
target_link_libraries(icongen PRIVATE engine)
set_target_properties(icongen PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

set(BR_ICON_ARGS)
set(BR_ICON_FILES)
foreach(size ${BR_ICON_SIZES})
  set(icon ${CMAKE_BINARY_DIR}/icons/${size}/bramblets2.png)
  list(APPEND BR_ICON_ARGS ${icon} ${size})
  list(APPEND BR_ICON_FILES ${icon})
  install(FILES ${icon} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
# The window's own icon, beside the program (the game loads it at run time).
set(BR_WINDOW_ICON ${CMAKE_BINARY_DIR}/icon.bmp)
set(BR_WINDOW_ICON_SIZE 64)
list(APPEND BR_ICON_ARGS ${BR_WINDOW_ICON} ${BR_WINDOW_ICON_SIZE})
list(APPEND BR_ICON_FILES ${BR_WINDOW_ICON})
install(FILES ${BR_WINDOW_ICON} DESTINATION ${BR_INSTALL_GAME_DIR})
set(BR_ICON_DEPENDS icongen)
if(TARGET assetdata)
  list(APPEND BR_ICON_DEPENDS ${CMAKE_BINARY_DIR}/data.dat)
endif()
foreach(size ${BR_ICON_SIZES})
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/icons/${size})
endforeach()
add_custom_command(
  OUTPUT ${BR_ICON_FILES}
  COMMAND icongen ${CMAKE_BINARY_DIR}/data.dat ${BR_ICON_ARGS}
  DEPENDS ${BR_ICON_DEPENDS}
  COMMENT "Making the desktop icon"
  VERBATIM)
add_custom_target(icon ALL DEPENDS ${BR_ICON_FILES})
if(TARGET assetdata)
  add_dependencies(icon assetdata)
endif()
