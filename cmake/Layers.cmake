# vellumet_layer(NAME DIR <folder> [DEPS <targets>...])
# Builds every .cpp of the folder into the library vellumet_<NAME>.
# A folder without sources yet becomes an interface library, so the layers
# above can already name it.
function(vellumet_layer name)
  cmake_parse_arguments(L "" "DIR" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${L_DIR}/*.cpp)
  set(target vellumet_${name})
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${L_DEPS})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${L_DEPS})
  endif()
endfunction()
