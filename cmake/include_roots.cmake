# Each library sees the source folders of what it links, and no others: a
# library's headers are reached through an include root of its own in the
# build tree, a folder holding one link named after the source folder
# (include_roots/monitor/monitor -> src/monitor). The root is a PUBLIC include
# folder of the library, so `#include "cities/city_add.h"` compiles only in a
# target that links skyvigil_cities: CMake's links are the one statement of
# which layer may use which.

set(SKYVIGIL_INCLUDE_ROOTS ${CMAKE_BINARY_DIR}/include_roots)
set(SKYVIGIL_GENERATED_ROOTS ${CMAKE_BINARY_DIR}/generated)

# skyvigil_include_root(<target> <PUBLIC|PRIVATE|INTERFACE> <folder of src/>)
function(skyvigil_include_root target scope folder)
  set(root ${SKYVIGIL_INCLUDE_ROOTS}/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK ${SKYVIGIL_SRC}/${folder} ${root}/${folder} SYMBOLIC)
  target_include_directories(${target} ${scope} ${root})
endfunction()

# skyvigil_generated_header(<target> <PUBLIC|PRIVATE> <folder>/<name>.h): the
# header made by configure_file from src/<folder>/<name>.h.in, included as
# "<folder>/<name>.h" by the target (and, when PUBLIC, by what links it).
function(skyvigil_generated_header target scope header)
  cmake_path(GET header PARENT_PATH folder)
  set(root ${SKYVIGIL_GENERATED_ROOTS}/${folder})
  configure_file(${SKYVIGIL_SRC}/${header}.in ${root}/${header} @ONLY)
  target_include_directories(${target} ${scope} ${root})
endfunction()
