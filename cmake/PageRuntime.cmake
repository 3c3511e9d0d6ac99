# The HTML5 page's script: the readable source in src/exporters/page_runtime/
# shrunk by terser (tools/minify, installed by `make deps`) into a header the
# exporters library includes.
find_program(VELLUMET_NODE node REQUIRED)
set(VELLUMET_PAGE_RUNTIME_SOURCES ${CMAKE_SOURCE_DIR}/src/exporters/page_runtime/runtime.js)
set(VELLUMET_PAGE_RUNTIME_HEADER ${CMAKE_BINARY_DIR}/generated/exporters/page_runtime.js.h)
if(NOT EXISTS ${CMAKE_SOURCE_DIR}/tools/minify/node_modules/terser/package.json)
  message(WARNING "terser is missing: run `make deps` (tools/deps.sh) before building")
endif()
add_custom_command(
  OUTPUT ${VELLUMET_PAGE_RUNTIME_HEADER}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated/exporters
  COMMAND ${VELLUMET_NODE} ${CMAKE_SOURCE_DIR}/tools/minify/embed.mjs ${VELLUMET_PAGE_RUNTIME_HEADER}
          kPageRuntime ${VELLUMET_PAGE_RUNTIME_SOURCES}
  DEPENDS ${VELLUMET_PAGE_RUNTIME_SOURCES} ${CMAKE_SOURCE_DIR}/tools/minify/embed.mjs
          ${CMAKE_SOURCE_DIR}/tools/minify/package-lock.json
  COMMENT "Shrinking the HTML5 page's script"
  VERBATIM)
add_custom_target(vellumet_page_runtime DEPENDS ${VELLUMET_PAGE_RUNTIME_HEADER})
add_dependencies(vellumet_exporters vellumet_page_runtime)
target_include_directories(vellumet_exporters PUBLIC ${CMAKE_BINARY_DIR}/generated)
