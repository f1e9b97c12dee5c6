# The interface's translation files: translations/*.ts (Qt Linguist's, refreshed from the sources
# by scripts/update-translations) compiled by lrelease into .qm files beside the desktop program
# (app/main/translations/ in the build tree, where the build-tree program looks first) and
# installed into share/morvale/translations/, where the installed program looks.
include(GNUInstallDirs)

# lrelease comes from qt6-l10n-tools, in Qt's own bin folder.
find_program(MORVALE_LRELEASE NAMES lrelease lrelease-qt6
             HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS} /usr/lib/qt6/bin REQUIRED)

set(MORVALE_QM_DIR ${PROJECT_BINARY_DIR}/app/main/translations)
file(GLOB MORVALE_TS_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/translations/*.ts)
set(MORVALE_QM_FILES)
foreach(ts ${MORVALE_TS_FILES})
  get_filename_component(name "${ts}" NAME_WE)
  set(qm ${MORVALE_QM_DIR}/${name}.qm)
  add_custom_command(OUTPUT ${qm}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${MORVALE_QM_DIR}
                     COMMAND ${MORVALE_LRELEASE} -silent ${ts} -qm ${qm}
                     DEPENDS ${ts}
                     COMMENT "Compiling the translation ${name}")
  list(APPEND MORVALE_QM_FILES ${qm})
endforeach()
add_custom_target(morvale_translations ALL DEPENDS ${MORVALE_QM_FILES})
if(TARGET morvale)
  add_dependencies(morvale morvale_translations)
endif()
install(FILES ${MORVALE_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/morvale/translations)
