# What a Windows user downloads: `cpack -G ZIP` and `cpack -G NSIS` in the
# Windows build directory make zelkor3d-1.1-win64.zip and
# zelkor3d-1.1-win64.exe, an installer with a Start-menu entry and an
# uninstaller. Both hold, in one folder, Zelkor3D.exe (what the player
# starts: the draw service when needed, then the window), the window program
# it runs, the draw service, the report tool, the README, the LICENSE and a
# short note in Chinese (使用说明.txt), with the shipped draw history in data/
# (where the service looks for it, beside itself) and cpp-httplib's licence,
# which the service is built with, in licenses/.

# Who makes it: the company of every program's version information and of
# the installer's, and the publisher of the uninstall entry.
set(CPACK_PACKAGE_VENDOR "Zelkor3D")

# Every program's resources, from packaging/windows/program.rc.in: the icon,
# the manifest and the version information with the description Explorer
# shows. One row a program: target, description.
set(zelkor_windows_programs
  zelkor3d-launcher     "Zelkor3D 3D 开奖历史与杀码、胆码、杀跨分析"
  zelkor3d              "Zelkor3D 窗口（由 Zelkor3D.exe 启动）"
  zelkor3d-draw-service "Zelkor3D 开奖数据服务"
  zelkor3d-report       "Zelkor3D 开奖报告工具"
  win32_window_test     "Zelkor3D 窗口测试")
string(REPLACE "." "," ZELKOR_RC_VERSION_COMMAS "${PROJECT_VERSION}")
string(APPEND ZELKOR_RC_VERSION_COMMAS ",0,0")
set(ZELKOR_RC_ICON ${PROJECT_SOURCE_DIR}/ui/win32/zelkor3d.ico)
set(ZELKOR_RC_MANIFEST ${PROJECT_SOURCE_DIR}/ui/win32/zelkor3d.manifest)
set(ZELKOR_RC_COPYRIGHT "版权所有 © 2026 Zelkor3D developers，MIT 许可")
while(zelkor_windows_programs)
  list(POP_FRONT zelkor_windows_programs program ZELKOR_RC_DESCRIPTION)
  if(NOT TARGET ${program})
    continue()  # the window test, without ZELKOR_BUILD_TESTS
  endif()
  get_target_property(ZELKOR_RC_INTERNAL_NAME ${program} OUTPUT_NAME)
  if(NOT ZELKOR_RC_INTERNAL_NAME)
    set(ZELKOR_RC_INTERNAL_NAME ${program})
  endif()
  set(ZELKOR_RC_FILE_NAME ${ZELKOR_RC_INTERNAL_NAME}.exe)
  set(rc ${PROJECT_BINARY_DIR}/resources/${program}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/program.rc.in ${rc} @ONLY)
  target_sources(${program} PRIVATE ${rc})
endwhile()

foreach(program zelkor3d-launcher zelkor3d zelkor3d-draw-service zelkor3d-report)
  install(TARGETS ${program} RUNTIME DESTINATION .)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
              ${PROJECT_SOURCE_DIR}/packaging/windows/使用说明.txt DESTINATION .)
install(FILES ${ZELKOR_HISTORY_FILE} DESTINATION data)
install(FILES ${ZELKOR_CPP_HTTPLIB_DIR}/LICENSE DESTINATION licenses RENAME cpp-httplib.txt)

set(CPACK_PACKAGE_NAME zelkor3d)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME win64)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Draw history and kill-digit, banker-digit and kill-span analyses for the 3D lottery")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Zelkor3D")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Zelkor3D")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)

# The installer, from packaging/windows/NSIS.template.in: for all users into
# Program Files, or for the current user alone into
# %LOCALAPPDATA%\Programs; one Start-menu entry, "Zelkor3D", that starts
# Zelkor3D.exe.
list(PREPEND CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging/windows)
set(CPACK_NSIS_PACKAGE_NAME "Zelkor3D")
set(CPACK_NSIS_DISPLAY_NAME "Zelkor3D")
# What the entries start (a CPACK_ variable reaches the template).
set(CPACK_ZELKOR_PROGRAM "Zelkor3D.exe")
set(CPACK_NSIS_MUI_ICON ${ZELKOR_RC_ICON})
set(CPACK_NSIS_MUI_UNIICON ${ZELKOR_RC_ICON})
set(CPACK_NSIS_URL_INFO_ABOUT "${ZELKOR_PRODUCT_WEBSITE}")
set(CPACK_NSIS_HELP_LINK "${ZELKOR_PRODUCT_WEBSITE}")
# The installer's version information (the uninstaller it writes carries the
# same): the programs' copyright line.
set(CPACK_ZELKOR_COPYRIGHT "${ZELKOR_RC_COPYRIGHT}")
# A 64-bit installer like the programs it carries (Debian's makensis builds
# 32-bit ones unless told).
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_GENERATOR "ZIP;NSIS")
include(CPack)
