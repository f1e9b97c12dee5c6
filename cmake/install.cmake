# What `cmake --install` and the .deb made by CPack hold: the programs in bin/, the desktop entry
# and its icon, and the demo database with the engine.ini that names it as the DEMO alias in
# share/morvale/ (an installed program reads its read-only aliases there).
include(GNUInstallDirs)

# The demo database is made from its SQL text at build time, never taken from the source folder.
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/share/morvale/demo.db
  COMMAND ${PROJECT_SOURCE_DIR}/samples/make-demo-db ${PROJECT_BINARY_DIR}/share/morvale/demo.db
  DEPENDS ${PROJECT_SOURCE_DIR}/samples/demo.sql ${PROJECT_SOURCE_DIR}/samples/make-demo-db
  COMMENT "Making the demo database to install")
add_custom_target(morvale_demo_db ALL DEPENDS ${PROJECT_BINARY_DIR}/share/morvale/demo.db)

install(TARGETS morvale-export RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The desktop program is built in app/main; it is installed whenever it is part of the build.
if(TARGET morvale)
  install(TARGETS morvale RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/share/morvale.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/share/morvale.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_BINARY_DIR}/share/morvale/demo.db
        DESTINATION ${CMAKE_INSTALL_DATADIR}/morvale)
# The alias names the database where it is installed: the prefix is known only at install time
# (`cmake --install --prefix`), and DESTDIR (CPack's staging folder) is not part of it.
install(CODE "set(datadir \"${CMAKE_INSTALL_DATADIR}\")")
install(CODE [[
  set(dir "${CMAKE_INSTALL_PREFIX}/${datadir}/morvale")
  file(WRITE "$ENV{DESTDIR}${dir}/engine.ini"
       "[DEMO]\nDRIVER=SQLITE\nPATH=${dir}/demo.db\n")
  message(STATUS "Installing: $ENV{DESTDIR}${dir}/engine.ini")
]])

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvale)
set(CPACK_PACKAGE_VENDOR "Morvale")
set(CPACK_PACKAGE_CONTACT "Morvale developers <morvale@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Database export tool: workbooks, PDF, dBASE, RTF, HTML, SQL, CSV")
set(CPACK_PACKAGE_INSTALL_DIRECTORY morvale)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its platform plugin and the SQL drivers at run time, which shlibdeps cannot see.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite, libqt6sql6-psql, libqt6sql6-mysql, libqt6sql6-odbc")
include(CPack)
