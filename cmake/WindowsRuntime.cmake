# What a Windows program of ours needs beside it to run: the Qt DLLs, the windows platform
# plugin and the MinGW runtime. Copied next to the programs in bin/ at build time, so the
# build folder runs as it is (under Wine here), and installed with the programs for the
# installer.
set(TESSALY_QT_DLLS Qt6::Core Qt6::Gui Qt6::Widgets Qt6::Network)

# The MinGW runtime DLLs that the compiler links against (posix threads variants).
set(TESSALY_MINGW_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "${dll} not found by ${CMAKE_CXX_COMPILER}")
  endif()
  list(APPEND TESSALY_MINGW_DLLS "${path}")
endforeach()

set(bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(copies)
foreach(target ${TESSALY_QT_DLLS} Qt6::Test) # Test: for the test programs
  list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${target}> ${bin})
endforeach()
# The GUI tests run on the offscreen platform: its plugin goes into the build folder only.
add_custom_target(windows_runtime ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${bin}/platforms
  ${copies}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TESSALY_MINGW_DLLS} ${bin}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
    $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin> ${bin}/platforms
  COMMENT "Copying the Qt and MinGW runtime DLLs into ${bin}")

# Qt's own texts in Japanese: the translation files are the same on every platform, so the
# build machine's Qt (qt6-translations-l10n) provides them: looked for on the build machine
# itself, not under the Windows sysroot the cross-build's searches are rooted in.
find_file(TESSALY_QTBASE_JA qtbase_ja.qm
  PATHS ${QT_HOST_PATH}/share/qt6/translations /usr/share/qt6/translations
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT TESSALY_QTBASE_JA)
  message(FATAL_ERROR "qtbase_ja.qm not found: install the Debian package qt6-translations-l10n")
endif()
add_custom_target(windows_translations ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${bin}/translations
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TESSALY_QTBASE_JA} ${bin}/translations
  COMMENT "Copying Qt's Japanese texts into ${bin}/translations")
install(FILES ${TESSALY_QTBASE_JA} DESTINATION translations)

foreach(target ${TESSALY_QT_DLLS})
  install(FILES $<TARGET_FILE:${target}> DESTINATION .)
endforeach()
install(FILES ${TESSALY_MINGW_DLLS} DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
