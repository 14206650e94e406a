# Test helpers. Native builds take GoogleTest from the system; the Windows
# cross build compiles it from the Debian source package.
if(VELKOR_TESTS)
    enable_testing()
    if(CMAKE_CROSSCOMPILING)
        set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
        set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
        add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
        # GoogleTest 1.12 and later define the GTest:: aliases themselves.
        if(NOT TARGET GTest::gtest)
            add_library(GTest::gtest ALIAS gtest)
            add_library(GTest::gtest_main ALIAS gtest_main)
            add_library(GTest::gmock ALIAS gmock)
        endif()
    else()
        find_package(GTest REQUIRED)
    endif()
endif()

# velkor_add_test(NAME SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s])
# One GoogleTest executable registered as one CTest test. Labels:
#   unit         toolkit-free logic, no sockets
#   integration  real sockets on loopback
#   threads      worth running under ThreadSanitizer
#   netns        creates its own network namespace (needs root)
function(velkor_add_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE velkor_options ${T_LIBS} GTest::gmock GTest::gtest GTest::gtest_main)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${T_TIMEOUT})
endfunction()
