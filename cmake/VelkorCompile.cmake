# Common compile settings for every target of the project.

# Builds reuse earlier compiler results when ccache is installed.
find_program(VELKOR_CCACHE ccache)
if(VELKOR_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
    set(CMAKE_CXX_COMPILER_LAUNCHER ${VELKOR_CCACHE})
endif()

add_library(velkor_options INTERFACE)
target_compile_features(velkor_options INTERFACE cxx_std_20)
target_include_directories(velkor_options INTERFACE ${PROJECT_SOURCE_DIR})
target_compile_options(velkor_options INTERFACE -Wall -Wextra -Wpedantic -Wshadow -Wno-missing-field-initializers)
if(VELKOR_WERROR)
    target_compile_options(velkor_options INTERFACE -Werror)
endif()
if(WIN32)
    target_compile_definitions(velkor_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
    target_link_options(velkor_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()

find_package(Threads REQUIRED)
target_link_libraries(velkor_options INTERFACE Threads::Threads)

if(VELKOR_SANITIZE)
    add_compile_options(-fsanitize=${VELKOR_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${VELKOR_SANITIZE})
endif()
