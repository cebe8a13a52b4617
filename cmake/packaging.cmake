# `make package` (cmake --build build --target package): build/lorvane01_<version>-1_amd64.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lorvane01)
set(CPACK_PACKAGE_VENDOR Varlenko)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "generative art, one abstract picture at a time")
# One string: as a list of lines, CMake would take the ";" in the text for a separator and drop it.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "lorvane01 opens a window and draws abstract pictures in it: a palette of\n"
    "1001 colours from three random waves, a random band of it for the colour\n"
    "family, a background and 200 overlapping squares in colours of the band,\n"
    "and three captions, and a button for the next picture.\n"
    "\n"
    "The picture shown can be copied or saved as a PNG, SVG or PDF file that\n"
    "carries its recipe; lorvane01-render draws the same pictures from a seed or\n"
    "from such a file, without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Everything a plain install puts down, and Debian's copyright and changelog, in one package.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Unspecified debian)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${LORVANE_PACKAGE_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${LORVANE_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${LORVANE_HOMEPAGE})
# The libraries the programs link (Qt, libdeflate, zlib), found by dpkg-shlibdeps, with the
# versions they need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins at run time, where dpkg-shlibdeps cannot see them: the Wayland
# one, so that the window is native on a Wayland desktop rather than going through XWayland.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-wayland")

include(CPack)
