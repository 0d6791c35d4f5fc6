# Installing and the Debian package (scripts/package): the three programs in bin/, the desktop
# entry, icon, AppStream metainfo, man pages and the package's own documents.
include(GNUInstallDirs)

set(TESSALY_MAINTAINER "Tessaly developers <tessaly@oskora.example>")
# Fixed, so that the same sources give the same package.
set(TESSALY_RELEASE_DATE 2025-05-20)
set(TESSALY_RELEASE_DATE_RFC2822 "Tue, 20 May 2025 12:00:00 +0000")

set(pkg ${PROJECT_SOURCE_DIR}/packaging)
set(pkg_out ${PROJECT_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${pkg_out})

install(TARGETS tessaly tessaly-cli tessaly-rwsim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${pkg}/tessaly.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${pkg}/tessaly.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
configure_file(${pkg}/tessaly.metainfo.xml ${pkg_out}/tessaly.metainfo.xml @ONLY)
install(FILES ${pkg_out}/tessaly.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Man pages and the changelog go compressed, without a time stamp in the gzip header.
set(compressed)
foreach(page tessaly.1 tessaly-cli.1 tessaly-rwsim.1 changelog)
  configure_file(${pkg}/${page} ${pkg_out}/${page} @ONLY)
  add_custom_command(OUTPUT ${pkg_out}/${page}.gz
    COMMAND gzip -9n -c ${pkg_out}/${page} > ${pkg_out}/${page}.gz
    DEPENDS ${pkg_out}/${page}
    COMMENT "Compressing ${page}")
  list(APPEND compressed ${pkg_out}/${page}.gz)
endforeach()
add_custom_target(tessaly-package-docs ALL DEPENDS ${compressed})
install(FILES ${pkg_out}/tessaly.1.gz ${pkg_out}/tessaly-cli.1.gz ${pkg_out}/tessaly-rwsim.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# A native package: its changelog is changelog.gz.
install(FILES ${pkg_out}/changelog.gz ${pkg}/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessaly)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaly)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "firmware updater for ZMW reader/writers over the LAN")
set(CPACK_PACKAGE_DESCRIPTION
  "Tessaly updates both firmwares of a ZMW reader/writer through its
serial-to-Ethernet bridge: the control microcontroller through its boot
mode (erase, write, CRC verify) and the built-in CHIP through a chip
updater, then compares their versions. The window is in Japanese.
.
The package also holds tessaly-cli, the same update and diagnostics
without a window, and tessaly-rwsim, a simulated reader/writer for
trying it out on loopback.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TESSALY_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries come from the scan of the programs; what is loaded at run time is named here:
# the X11/Wayland platform plugins for the window, Japanese fonts for its texts, and Qt's own
# texts in Japanese.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "qt6-qpa-plugins, qt6-translations-l10n, fonts-ipafont-gothic | fonts-japanese-gothic, fonts-ipafont-mincho | fonts-japanese-mincho")
include(CPack)
