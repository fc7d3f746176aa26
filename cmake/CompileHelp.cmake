# Run by HelpFile.cmake: compiles docs/help into one .chm.
# The pages stay UTF-8 (each says so); the project and the contents are read by the help
# viewer in the file's language code page, Japanese (932), so they are converted to it.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(GLOB sources "${SOURCE}/*")
foreach(source ${sources})
  get_filename_component(name "${source}" NAME)
  get_filename_component(extension "${source}" LAST_EXT)
  if(extension STREQUAL ".hhp" OR extension STREQUAL ".hhc" OR extension STREQUAL ".hhk")
    execute_process(COMMAND "${ICONV}" -f UTF-8 -t CP932 "${source}"
                    OUTPUT_FILE "${WORK}/${name}" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "cannot convert ${name} to code page 932")
    endif()
  else()
    file(COPY "${source}" DESTINATION "${WORK}")
  endif()
endforeach()
file(GLOB projects "${WORK}/*.hhp")
execute_process(COMMAND "${CHMCMD}" --verbosity 1 ${projects}
                WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE failed OUTPUT_VARIABLE output ERROR_VARIABLE output)
get_filename_component(compiled "${OUT}" NAME)
if(failed OR NOT EXISTS "${WORK}/${compiled}")
  message(FATAL_ERROR "chmcmd failed:\n${output}")
endif()
file(COPY_FILE "${WORK}/${compiled}" "${OUT}")
