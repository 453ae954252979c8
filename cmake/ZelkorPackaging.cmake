# Installation and the Debian package: the window program, the report tool,
# the desktop entry and the icon. `cmake --install <build>` installs them;
# `cpack -G DEB` in the build directory packs them into one .deb.
include(GNUInstallDirs)

# The window program comes from app/, which may be missing from a partial tree.
if(TARGET zelkor3d)
  install(TARGETS zelkor3d RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT window)
endif()
if(TARGET zelkor3d-report)
  install(TARGETS zelkor3d-report RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT report)
endif()

add_subdirectory(${PROJECT_SOURCE_DIR}/packaging ${PROJECT_BINARY_DIR}/packaging)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelkor3d)
set(CPACK_PACKAGE_VENDOR "Zelkor3D")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Zelkor3D team <team@zelkor3d.example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Draw history and kill-digit, banker-digit and kill-span analyses for the 3D lottery")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Zelkor3D lists the latest draws of the Chinese daily three-digit lottery and\n"
       "derives kill digits, banker digits and kill spans from them, judging every\n"
       "past proposal against the draw that followed. The package holds the window\n"
       "program zelkor3d and the command-line report zelkor3d-report.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZELKOR_PRODUCT_WEBSITE}")
# Library dependencies are read off the binaries by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window draws its Chinese texts with a CJK face; a font is no library, so
# dpkg-shlibdeps cannot find it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-noto-cjk)
include(CPack)
