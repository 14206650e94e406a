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
if(EXISTS ${PROJECT_SOURCE_DIR}/Torvane.cpp)
    add_executable(Torvane Torvane.cpp)
    target_link_libraries(Torvane PRIVATE velkor_options torvane_supervisor project_version)
    if(NOT WIN32)
        # The C++ runtime linked in: only the parts Torvane uses are mapped, about 1 MB less
        # resident memory for a service that runs for years.
        target_link_options(Torvane PRIVATE -static-libstdc++ -static-libgcc)
    endif()
endif()
