# The installed layout. The program finds its data beside its executable
# (the folder of /proc/self/exe, which follows symlinks), so both share one
# folder and bin/ holds a relative symlink to the program:
#   PREFIX/lib/vellumet/vellumet           the program
#   PREFIX/lib/vellumet/Samples/ Buttons/ Vellumet.html
#   PREFIX/lib/vellumet/ruffle/            the Ruffle web player for web pages
#   PREFIX/bin/vellumet -> ../lib/vellumet/vellumet
#   PREFIX/share/applications, mime/packages, icons/hicolor/scalable/{apps,mimetypes}
set(VELLUMET_PROGRAM_DESTINATION lib/vellumet)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)

install(TARGETS vellumet RUNTIME DESTINATION ${VELLUMET_PROGRAM_DESTINATION})
install(DIRECTORY ${VELLUMET_DATA_DIR}/ DESTINATION ${VELLUMET_PROGRAM_DESTINATION})
install(FILES ${VELLUMET_SAMPLE_PROJECTS} DESTINATION ${VELLUMET_PROGRAM_DESTINATION}/Samples)
# What a web page copies beside itself (exporters::IsRuffleFile): the
# scripts, the WebAssembly modules and the licences, not the source maps.
if(EXISTS ${VELLUMET_RUFFLE_DIR}/ruffle.js)
  install(DIRECTORY ${VELLUMET_RUFFLE_DIR}/ DESTINATION ${VELLUMET_PROGRAM_DESTINATION}/ruffle
          FILES_MATCHING PATTERN "*.js" PATTERN "*.wasm" PATTERN "LICENSE*")
else()
  message(WARNING "The Ruffle web player is missing (make deps installs it); "
                  "make install and the package would leave it out")
endif()

# Made at configure time, so installing copies a symlink and works the same
# with DESTDIR, --prefix and CPack's staging folder.
set(program_link ${CMAKE_BINARY_DIR}/install-links/vellumet)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
file(CREATE_LINK ../${VELLUMET_PROGRAM_DESTINATION}/vellumet ${program_link} SYMBOLIC)
install(FILES ${program_link} DESTINATION bin)

install(FILES ${packaging}/vellumet.desktop DESTINATION share/applications)
install(FILES ${packaging}/vellumet-mime.xml DESTINATION share/mime/packages RENAME vellumet.xml)
install(FILES ${packaging}/vellumet.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${packaging}/vellumet.svg DESTINATION share/icons/hicolor/scalable/mimetypes
        RENAME application-x-vellumet-project.svg)

# A desktop learns of a new MIME type, desktop entry and icon from its
# caches. Only for an install into the live system: a DESTDIR or CPack
# staging tree is not read by any desktop, and a .deb has dpkg triggers for
# these. A missing tool or a failing update never fails the install.
install(CODE "set(VELLUMET_CONFIGURED_PREFIX \"${CMAKE_INSTALL_PREFIX}\")")
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "" AND CMAKE_INSTALL_PREFIX STREQUAL VELLUMET_CONFIGURED_PREFIX)
    set(share "${CMAKE_INSTALL_PREFIX}/share")
    foreach(step "update-mime-database;${share}/mime"
                 "update-desktop-database;-q;${share}/applications"
                 "gtk-update-icon-cache;-q;-t;-f;${share}/icons/hicolor")
      list(POP_FRONT step tool)
      find_program(path_of_${tool} ${tool})
      if(path_of_${tool})
        message(STATUS "Running ${tool}")
        execute_process(COMMAND ${path_of_${tool}} ${step} RESULT_VARIABLE result)
        if(NOT result EQUAL 0)
          message(STATUS "${tool} failed (${result}); the desktop picks the files up later")
        endif()
      endif()
    endforeach()
  endif()
]])
