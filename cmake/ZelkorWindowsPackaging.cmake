# What a Windows user downloads: `cpack -G ZIP` and `cpack -G NSIS` in the
# Windows build directory make zelkor3d-1.1-win64.zip and
# zelkor3d-1.1-win64.exe, an installer with a Start-menu entry and an
# uninstaller. Both hold, in one folder, the window program, the launcher the
# Start-menu entry starts, the draw service the launcher starts, the report
# tool, the README and the LICENSE, with the shipped draw history in data/
# (where the service looks for it, beside itself) and cpp-httplib's licence,
# which the service is built with, in licenses/.
foreach(program zelkor3d zelkor3d-launcher zelkor3d-draw-service zelkor3d-report)
  install(TARGETS ${program} RUNTIME DESTINATION .)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
install(FILES ${ZELKOR_HISTORY_FILE} DESTINATION data)
install(FILES ${ZELKOR_CPP_HTTPLIB_DIR}/LICENSE DESTINATION licenses RENAME cpp-httplib.txt)

set(CPACK_PACKAGE_NAME zelkor3d)
set(CPACK_PACKAGE_VENDOR "Zelkor3D")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Draw history and kill-digit, banker-digit and kill-span analyses for the 3D lottery")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Zelkor3D")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Zelkor3D")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)

# The installer: per machine, into Program Files; one Start-menu entry,
# "Zelkor3D", that starts the launcher (the draw service, then the window).
set(CPACK_NSIS_PACKAGE_NAME "Zelkor3D")
set(CPACK_NSIS_DISPLAY_NAME "Zelkor3D")
set(CPACK_NSIS_INSTALLED_ICON_NAME zelkor3d.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/ui/win32/zelkor3d.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/ui/win32/zelkor3d.ico)
set(CPACK_NSIS_URL_INFO_ABOUT "${ZELKOR_PRODUCT_WEBSITE}")
set(CPACK_PACKAGE_EXECUTABLES zelkor3d-launcher "Zelkor3D")
set(CPACK_NSIS_MODIFY_PATH OFF)
# A 64-bit installer like the programs it carries (Debian's makensis builds
# 32-bit ones unless told), into the 64-bit Program Files.
set(CPACK_NSIS_DEFINES "  Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_GENERATOR "ZIP;NSIS")
include(CPack)
