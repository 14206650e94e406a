# Install rules and CPack packages of the programs.
#   Linux:   one .deb per program (velkor, velkor-cli, torvane, controller-sim),
#            built by `cpack --preset package` after `cmake --build --preset package`.
#   Windows: one zip per architecture with every program the build made, built
#            by `cpack --config build/<mingw preset>/CPackConfig.cmake`.
# docs/packaging.md describes the packages and how the test command checks them.
set(CPACK_PACKAGE_NAME velkor)
set(CPACK_PACKAGE_VENDOR "The Velkor developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# No project-wide CPACK_PACKAGE_DESCRIPTION_SUMMARY: the .deb generator would put
# it before every package's own summary line.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/PackagingWindows.cmake)
else()
    include(${CMAKE_CURRENT_LIST_DIR}/PackagingDeb.cmake)
endif()
include(CPack)
