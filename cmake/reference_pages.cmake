# cmake -DDOBRENZ=path/to/dobrenz -DDIR=out [-DEMULATOR=runner] -P reference_pages.cmake
# The manual page (gzipped, as manual pages are installed) and the bash
# completion, as dobrenz prints them from its command tables.
file(MAKE_DIRECTORY ${DIR})
execute_process(COMMAND ${EMULATOR} ${DOBRENZ} --man-page OUTPUT_FILE ${DIR}/dobrenz.1 RESULT_VARIABLE man_status)
execute_process(COMMAND ${EMULATOR} ${DOBRENZ} --bash-completion OUTPUT_FILE ${DIR}/dobrenz.bash RESULT_VARIABLE completion_status)
if(NOT man_status EQUAL 0 OR NOT completion_status EQUAL 0)
  message(FATAL_ERROR "${DOBRENZ} did not print its reference pages")
endif()
file(REMOVE ${DIR}/dobrenz.1.gz)
file(ARCHIVE_CREATE OUTPUT ${DIR}/dobrenz.1.gz PATHS ${DIR}/dobrenz.1 FORMAT raw COMPRESSION GZip)
