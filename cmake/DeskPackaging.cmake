# What `cmake --install` and CPack put in a player's package.
#   Linux (cpack -G DEB): /usr/games/desk-client, desk-server and the desk-play launcher; the
#     resources in /usr/share/desk/resources (where the client looks: <exe dir>/../share/desk/
#     resources); a menu entry and a hicolor icon; the copyright file and changelog Debian wants;
#     desk-server.service with /etc/default/desk-server for a public server.
#   Windows (cpack -G ZIP): one folder with both programs, the SDL DLLs, resources\, play.bat,
#     host-lan.bat, README.txt and licences\.
set(desk_packaging ${CMAKE_SOURCE_DIR}/packaging)
set(CPACK_PACKAGE_NAME desk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The desk project")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Shuangkou, a four-player partnership card game")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_SOURCE_DIR}/dist)

if(WIN32)
  set(DESK_INSTALL_BIN .)
  set(DESK_INSTALL_RESOURCES resources)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME desk-${PROJECT_VERSION}-windows-x86_64)
  # The DLLs the programs import (the C and C++ runtimes are linked in) and the licences of
  # what is linked: SDL and its companions, freetype, tinyxml2, the MinGW-w64 runtime and GCC's
  # runtime library exception; the font's licences are in resources\fonts.
  file(GLOB desk_dlls ${DESK_WINDOWS_PREFIX}/bin/SDL2*.dll)
  install(FILES ${desk_dlls} DESTINATION .)
  # play.bat and README.txt say the version: PROJECT_VERSION, written in at configuration.
  foreach(desk_text play.bat README.txt)
    configure_file(${desk_packaging}/windows/${desk_text} ${CMAKE_BINARY_DIR}/packaging/${desk_text}
                   @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/${desk_text} DESTINATION .)
  endforeach()
  install(FILES ${desk_packaging}/windows/host-lan.bat DESTINATION .)
  # The game's own licence (MIT), then those of the parts that are not ours: the libraries'
  # built with them, and those of the header-only libraries compiled in.
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION licences RENAME desk.txt)
  install(DIRECTORY ${DESK_WINDOWS_PREFIX}/licences/ DESTINATION licences)
  install(FILES /usr/share/doc/rapidjson-dev/copyright DESTINATION licences RENAME rapidjson.txt)
  install(FILES /usr/share/doc/libasio-dev/copyright DESTINATION licences RENAME asio.txt)
  install(FILES /usr/share/doc/mingw-w64-x86-64-dev/copyright DESTINATION licences
          RENAME mingw-w64-runtime.txt)
  install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright DESTINATION licences
          RENAME gcc-runtime.txt)
else()
  set(DESK_INSTALL_BIN games)
  set(DESK_INSTALL_RESOURCES share/desk/resources)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The desk project <desk@example.org>")
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  # The synopsis is CPACK_PACKAGE_DESCRIPTION_SUMMARY; this is the text below it.
  string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Two teams of two play with two 54-card decks. The package holds the game\n"
    "client, a game server with computer players and desk-play, which starts a\n"
    "local server and the client together.")
  # The shared libraries' packages, as dpkg-shlibdeps finds them from the programs (desk-server's
  # records bring libsqlite3-0 and libpq5 this way).
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  install(PROGRAMS ${desk_packaging}/desk-play DESTINATION games)
  install(FILES ${desk_packaging}/debian/desk.desktop DESTINATION share/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icon.png
          DESTINATION share/icons/hicolor/128x128/apps RENAME desk.png)
  # Debian wants its copyright file and a compressed changelog in the documentation folder.
  set(desk_changelog ${CMAKE_BINARY_DIR}/changelog.gz)
  add_custom_command(OUTPUT ${desk_changelog}
    COMMAND gzip -9nc ${desk_packaging}/debian/changelog > ${desk_changelog}
    DEPENDS ${desk_packaging}/debian/changelog VERBATIM)
  add_custom_target(desk-changelog ALL DEPENDS ${desk_changelog})
  install(FILES ${desk_packaging}/debian/copyright ${desk_changelog} DESTINATION share/doc/desk)
  # A public server: a systemd unit that the package does not enable, its options in
  # /etc/default (a conffile: an administrator's changes survive upgrades), and in postinst the
  # unprivileged user it runs as; its guide beside the copyright file.
  install(FILES ${desk_packaging}/debian/desk-server.service DESTINATION lib/systemd/system)
  install(FILES ${desk_packaging}/debian/desk-server.default DESTINATION /etc/default
          RENAME desk-server)
  install(FILES ${CMAKE_SOURCE_DIR}/server/README.md DESTINATION share/doc/desk
          RENAME README.server.md)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS adduser)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${desk_packaging}/debian/postinst
      ${desk_packaging}/debian/postrm ${desk_packaging}/debian/conffiles)
endif()
include(CPack)
