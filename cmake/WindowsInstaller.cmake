# The Windows installer: NSIS through CPack, Tessaly-<version>-win64.exe. It puts the programs
# and their DLLs into Program Files\Tessaly, adds a Start-menu entry under the program's
# Japanese name and an uninstaller. Built with `cpack` in the build folder (scripts/windows).
install(TARGETS tessaly tessaly-cli tessaly-rwsim RUNTIME DESTINATION .)

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME Tessaly)
set(CPACK_PACKAGE_VENDOR OSKORA)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ZMW R/W firmware update")
set(CPACK_PACKAGE_FILE_NAME Tessaly-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Tessaly)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Tessaly)
# The main window's caption is the program's name for its operators.
set(CPACK_PACKAGE_EXECUTABLES tessaly "ZMW ファームウェアアップデート")
set(CPACK_NSIS_DISPLAY_NAME "ZMW ファームウェアアップデート")
set(CPACK_NSIS_PACKAGE_NAME "ZMW ファームウェアアップデート") # also the Start-menu folder
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# A 64-bit, Unicode installer: the programs are 64-bit, and the Japanese names need Unicode.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
include(CPack)
