# The program looks its data up beside its executable: the contents of data/
# (Buttons/, Vellumet.html) and the sample projects as Samples/.
set(VELLUMET_DATA_DIR ${CMAKE_SOURCE_DIR}/data)
file(GLOB VELLUMET_SAMPLE_PROJECTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/samples/*.sw0)

# vellumet_program_data(TARGET)
# Copies the data beside TARGET whenever a file of it changes, not only when
# TARGET is linked again.
function(vellumet_program_data target)
  file(GLOB_RECURSE data_files CONFIGURE_DEPENDS ${VELLUMET_DATA_DIR}/*)
  set(dir ${CMAKE_CURRENT_BINARY_DIR})
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${dir})
  set(stamp ${dir}/${target}_data.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${VELLUMET_DATA_DIR} ${dir}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}/Samples
    COMMAND ${CMAKE_COMMAND} -E copy ${VELLUMET_SAMPLE_PROJECTS} ${dir}/Samples
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${data_files} ${VELLUMET_SAMPLE_PROJECTS}
    COMMENT "Copying the program data beside ${target}")
  add_custom_target(${target}_data DEPENDS ${stamp})
  add_dependencies(${target} ${target}_data)
endfunction()
