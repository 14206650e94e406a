# The two program entry files at the top of the tree.
if(VELKOR_QT AND EXISTS ${PROJECT_SOURCE_DIR}/Velkor.cpp)
    qt_add_executable(Velkor Velkor.cpp)
    target_link_libraries(Velkor PRIVATE velkor_options velkor_ui_qt)
endif()
if(EXISTS ${PROJECT_SOURCE_DIR}/Torvane.cpp)
    add_executable(Torvane Torvane.cpp)
    target_link_libraries(Torvane PRIVATE velkor_options torvane_supervisor)
endif()
