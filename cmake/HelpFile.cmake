# Compiles the help file from docs/help into Pallendo.chm next to Pallendo.exe, with chmcmd
# (Debian package fp-utils). Without the compiler the program is built without its help file.
find_program(PALLENDO_CHMCMD chmcmd)
find_program(PALLENDO_ICONV iconv)
if(NOT PALLENDO_CHMCMD OR NOT PALLENDO_ICONV)
  message(WARNING "chmcmd or iconv not found: Pallendo.chm is not built (install fp-utils)")
  return()
endif()

set(PALLENDO_HELP_SOURCE ${CMAKE_SOURCE_DIR}/docs/help)
set(PALLENDO_HELP_FILE ${CMAKE_BINARY_DIR}/Pallendo.chm)
file(GLOB PALLENDO_HELP_INPUTS CONFIGURE_DEPENDS ${PALLENDO_HELP_SOURCE}/*)
add_custom_command(
  OUTPUT ${PALLENDO_HELP_FILE}
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${PALLENDO_HELP_SOURCE} -DWORK=${CMAKE_BINARY_DIR}/help
          -DOUT=${PALLENDO_HELP_FILE} -DCHMCMD=${PALLENDO_CHMCMD} -DICONV=${PALLENDO_ICONV}
          -P ${CMAKE_SOURCE_DIR}/cmake/CompileHelp.cmake
  DEPENDS ${PALLENDO_HELP_INPUTS} ${CMAKE_SOURCE_DIR}/cmake/CompileHelp.cmake
  COMMENT "Compiling the help file Pallendo.chm"
  VERBATIM)
add_custom_target(pallendo_help ALL DEPENDS ${PALLENDO_HELP_FILE})
add_dependencies(Pallendo pallendo_help)
