# The two program entry files at the top of the tree.
if(VELKOR_QT AND EXISTS ${PROJECT_SOURCE_DIR}/Velkor.cpp)
    qt_add_executable(Velkor Velkor.cpp)
    target_link_libraries(Velkor PRIVATE velkor_options velkor_ui_qt)
    # The window icon, in the sizes a window manager asks for most.
    qt_add_resources(Velkor velkor_icons
        PREFIX /icons
        BASE packaging/icons/png
        FILES packaging/icons/png/velkor-16.png packaging/icons/png/velkor-32.png
              packaging/icons/png/velkor-48.png packaging/icons/png/velkor-256.png)
endif()
# On Windows Velkor has its native window: a GUI program with its icon,
# manifest and version resource.
if(WIN32 AND EXISTS ${PROJECT_SOURCE_DIR}/Velkor_win32.cpp)
    enable_language(RC)
    configure_file(packaging/windows/Velkor.manifest.in
                   ${CMAKE_BINARY_DIR}/resources/Velkor.manifest @ONLY)
    add_executable(Velkor WIN32 Velkor_win32.cpp Velkor.rc)
    target_link_libraries(Velkor PRIVATE velkor_options velkor_ui_win32)
    target_link_options(Velkor PRIVATE -municode)
    target_include_directories(Velkor PRIVATE ${CMAKE_BINARY_DIR}/resources)
    target_compile_definitions(Velkor PRIVATE
        VELKOR_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
        VELKOR_VERSION_MINOR=${PROJECT_VERSION_MINOR}
        VELKOR_VERSION_PATCH=${PROJECT_VERSION_PATCH})
endif()
if(EXISTS ${PROJECT_SOURCE_DIR}/Torvane.cpp)
    add_executable(Torvane Torvane.cpp)
    target_link_libraries(Torvane PRIVATE velkor_options torvane_supervisor project_version)
    if(NOT WIN32)
        # The C++ runtime linked in: only the parts Torvane uses are mapped, about 1 MB less
        # resident memory for a service that runs for years.
        target_link_options(Torvane PRIVATE -static-libstdc++ -static-libgcc)
    endif()
endif()
