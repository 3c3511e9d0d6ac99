# The editor command scripts, their session with its invariants and the
# seed scripts: shared by the fuzz target and the regression test.
if(NOT TARGET vellumet_editor_script)
  add_library(vellumet_editor_script STATIC
    ${CMAKE_SOURCE_DIR}/fuzz/editor_script/script.cpp
    ${CMAKE_SOURCE_DIR}/fuzz/editor_script/session.cpp
    ${CMAKE_SOURCE_DIR}/fuzz/editor_script/seed_scripts.cpp)
  target_include_directories(vellumet_editor_script PUBLIC ${CMAKE_SOURCE_DIR}/fuzz)
  target_link_libraries(vellumet_editor_script PUBLIC ${VELLUMET_ALL_LAYERS})
  target_compile_definitions(vellumet_editor_script PUBLIC
    VELLUMET_SCRIPT_FIXTURES="${CMAKE_SOURCE_DIR}/tests/data")
endif()
