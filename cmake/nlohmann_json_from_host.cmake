# nlohmann/json for a cross build: the library is headers only, so the build
# machine's copy serves any target. Only its own folder goes on the include
# path, through a folder in the build tree that holds nothing but a link to
# it; the rest of /usr/include must stay out of reach of the target's compiler.
find_path(SKYVIGIL_NLOHMANN_JSON_INCLUDE nlohmann/json.hpp PATHS /usr/include
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT SKYVIGIL_NLOHMANN_JSON_INCLUDE)
  message(FATAL_ERROR "nlohmann/json.hpp not found in /usr/include (install nlohmann-json3-dev)")
endif()

block()
# The version is in json.hpp until 3.10, in detail/abi_macros.hpp since 3.11.
file(GLOB version_files ${SKYVIGIL_NLOHMANN_JSON_INCLUDE}/nlohmann/json.hpp
     ${SKYVIGIL_NLOHMANN_JSON_INCLUDE}/nlohmann/detail/abi_macros.hpp)
set(major "")
foreach(file ${version_files})
  file(STRINGS ${file} line REGEX "^#define NLOHMANN_JSON_VERSION_MAJOR ")
  string(APPEND major "${line}")
endforeach()
if(NOT major MATCHES "MAJOR +3( |$)")
  message(FATAL_ERROR "nlohmann/json 3 needed, found: ${major}")
endif()

set(headers ${CMAKE_BINARY_DIR}/host_headers/nlohmann_json)
file(MAKE_DIRECTORY ${headers})
file(CREATE_LINK ${SKYVIGIL_NLOHMANN_JSON_INCLUDE}/nlohmann ${headers}/nlohmann SYMBOLIC)

add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
target_include_directories(nlohmann_json::nlohmann_json INTERFACE ${headers})
endblock()
