# nlohmann/json (Debian: nlohmann-json3-dev), header-only, as the target
# velkor_json. The Windows cross build cannot put the host's /usr/include on its
# include path, so it takes a copy of the library's own header folder.
add_library(velkor_json INTERFACE)
if(CMAKE_CROSSCOMPILING)
    find_path(VELKOR_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
              REQUIRED)
    file(COPY ${VELKOR_JSON_INCLUDE}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/json-include)
    target_include_directories(velkor_json SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/json-include)
else()
    find_package(nlohmann_json 3.10 REQUIRED)
    target_link_libraries(velkor_json INTERFACE nlohmann_json::nlohmann_json)
endif()
