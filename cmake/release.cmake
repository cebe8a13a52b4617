# Facts about this release that the metainfo, the man pages and the Debian package share. The
# version itself is project(VERSION) in CMakeLists.txt.
set(LORVANE_RELEASE_DATE 2026-12-08)
set(LORVANE_HOMEPAGE https://varlenko.art)
set(LORVANE_SCREENSHOT_URL
    https://raw.githubusercontent.com/varlenko/lorvane01/v${PROJECT_VERSION}/docs/screenshot.png
    CACHE STRING "Where the metainfo's screenshot can be fetched from")
set(LORVANE_COPYRIGHT "2026 Varlenko" CACHE STRING "Copyright line of the Debian package")
set(LORVANE_PACKAGE_MAINTAINER "lorvane01 developers <lorvane01@varlenko.art>"
    CACHE STRING "Maintainer of the Debian package: name <address>")
# The Debian revision: lorvane01_<version>-<revision>_amd64.deb, and its changelog entry.
set(LORVANE_PACKAGE_RELEASE 1)
set(LORVANE_PACKAGE_DATE "Tue, 08 Dec 2026 12:00:00 +0000")
