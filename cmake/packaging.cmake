# Debian package: the window, mvxctl, the simulated drive, a desktop entry and the examples.
install(FILES ${CMAKE_SOURCE_DIR}/resources/mvx-configurator.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/img/graph.png
        DESTINATION share/icons/hicolor/48x48/apps RENAME mvx-configurator.png)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/mvx-configurator)
# The window's Help > User guide reads the README from here, with the picture it shows.
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/mvx-configurator)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION share/mvx-configurator/docs FILES_MATCHING PATTERN "*.png")

# The version the programs print (Help > About, mvxctl --version).
foreach(versioned mvxgui mvxctl)
  if(TARGET ${versioned})
    target_compile_definitions(${versioned} PRIVATE MVX_VERSION="${PROJECT_VERSION}")
  endif()
endforeach()

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "mvx-configurator")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Velmor")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configurator, monitor and production tester for Modbus RTU motor drives")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "MVX configurator developers <mvx@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION "electronics")
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt5core5a (>= 5.15), libqt5gui5 (>= 5.15), libqt5widgets5 (>= 5.15), libqt5xml5 (>= 5.15), \
libqt5serialport5 (>= 5.15), libqt5serialbus5 (>= 5.15), libqt5printsupport5 (>= 5.15), \
libqt5sql5 (>= 5.15), libqt5sql5-sqlite (>= 5.15), \
libqt-advanced-docking-system3.8.3, libqcustomplot2.1, libc6, libstdc++6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "socat, libqt5sql5-psql, qttranslations5-l10n")
include(CPack)
