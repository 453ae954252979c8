# Installation and the Debian package: the launcher, the window program, the
# draw service with the shipped history, the report tool, the desktop entry,
# the metainfo, the icons, the manual pages and the package documents.
# `cmake --install <build>` installs them; `cpack -G DEB` in the build
# directory packs them into one .deb.
include(GNUInstallDirs)

set(ZELKOR_PACKAGE_MAINTAINER "Zelkor3D maintainers <maintainers@zelkor3d.example.com>"
    CACHE STRING "The package's Maintainer field: a name and a mail address")
set(ZELKOR_HOMEPAGE "${ZELKOR_PRODUCT_WEBSITE}"
    CACHE STRING "The project's home page, in the package and its metainfo")

add_subdirectory(${PROJECT_SOURCE_DIR}/packaging ${PROJECT_BINARY_DIR}/packaging)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelkor3d)
set(CPACK_PACKAGE_VENDOR "Zelkor3D")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ZELKOR_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZELKOR_PACKAGE_MAINTAINER}")
# lintian allows at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "draw history and digit analyses for the 3D lottery")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
       "Zelkor3D lists every draw of the Chinese daily three-digit lottery \"3D\"\n"
       "and derives kill digits, banker digits and kill spans from them, judging\n"
       "every past proposal against the draw that followed. It ships the real\n"
       "draw history from the first issue on and serves it itself, so the window\n"
       "works out of the box. The package holds the window program zelkor3d, the\n"
       "draw service zelkor3d-draw-service and the command-line report\n"
       "zelkor3d-report.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZELKOR_HOMEPAGE}")
# Library dependencies are read off the binaries by dpkg-shlibdeps; Qt's own
# translations are data, which it cannot find.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
# The window draws its Chinese texts with a CJK face; a font is no library
# either.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-noto-cjk)
# The start-up page opens in the desktop's browser.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xdg-utils)
# Directories in the package are 0755 whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
