# Where the program, its simulator, its desktop entries, icon, metainfo, man page and
# guide go on install, and the Debian package made from that by CPack.
include(GNUInstallDirs)

set(KELVOR_ID org.example.kelvor)
install(TARGETS kelvor kelvor-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT kelvor)
install(FILES data/${KELVOR_ID}.desktop data/${KELVOR_ID}.simulateur.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT kelvor)
install(FILES data/${KELVOR_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT kelvor)
install(FILES data/${KELVOR_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT kelvor)

# Debian ships man pages compressed, without a time stamp in the archive.
find_program(KELVOR_GZIP gzip REQUIRED)
set(man ${PROJECT_BINARY_DIR}/man/kelvor.1.gz)
add_custom_command(OUTPUT ${man}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
  COMMAND ${KELVOR_GZIP} -9nc ${PROJECT_SOURCE_DIR}/data/kelvor.1 > ${man}
  DEPENDS ${PROJECT_SOURCE_DIR}/data/kelvor.1)
add_custom_target(man ALL DEPENDS ${man})
install(FILES ${man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT kelvor)

if(NOT PROJECT_IS_TOP_LEVEL)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvor)
set(CPACK_PACKAGE_VENDOR "Kelvor")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "acquisition de spectres avec un spectrophotomètre Kelvor 51xx")
set(CPACK_PACKAGE_DESCRIPTION "Spectres, cinétiques et droites de Beer-Lambert mesurés par un spectrophotomètre
Kelvor 51xx sur une voie série, pour les travaux pratiques. Interface en français,
guide d'utilisation et instrument simulé pour travailler sans spectrophotomètre.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Kelvor <kelvor@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://kelvor.example.org/")
# Libraries the binaries link come from dpkg-shlibdeps; the font and the toolkit's own
# French texts are only loaded at run time.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-crosextra-carlito, qt6-translations-l10n")
include(CPack)
