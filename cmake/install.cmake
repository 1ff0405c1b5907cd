# What `cmake --install` puts where.
#
# Natively: dobrenz (and dobrenz-export and dobrenz-render where the build
# has them) in bin/, its manual page and bash completion, both made by
# dobrenz itself from its command tables, and the documents in
# share/doc/dobrenz/.
#
# For Windows: the layout of the release zip (scripts/release.sh) — the
# plug-in, dobrenz.exe, the install pages and the sample code tables at the
# top, and in test-host/ the test host with the stand-in host libraries and a
# sample session. The stand-ins never sit beside the plug-in: copied into a
# host's folder they would replace the host's own libraries.
include(GNUInstallDirs)

# `cpack` packs what is built and builds nothing itself: after the demo, which
# builds dobrenz and its reference pages only, a package takes a moment
# instead of building every test first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(DZ_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/dobrenz)

if(NOT WIN32)
  install(TARGETS dobrenz RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  foreach(helper dobrenz-export dobrenz-render)
    if(TARGET ${helper})
      install(TARGETS ${helper} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
  endforeach()

  if(NOT CMAKE_CROSSCOMPILING)
    set(reference_dir ${CMAKE_BINARY_DIR}/reference)
    add_custom_command(
      OUTPUT ${reference_dir}/dobrenz.1.gz ${reference_dir}/dobrenz.bash
      COMMAND ${CMAKE_COMMAND} -DDOBRENZ=$<TARGET_FILE:dobrenz> -DDIR=${reference_dir}
              "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
              -P ${PROJECT_SOURCE_DIR}/cmake/reference_pages.cmake
      DEPENDS dobrenz ${PROJECT_SOURCE_DIR}/cmake/reference_pages.cmake
      COMMENT "Manual page and bash completion of dobrenz"
      VERBATIM)
    add_custom_target(dobrenz_reference ALL DEPENDS ${reference_dir}/dobrenz.1.gz ${reference_dir}/dobrenz.bash)
    install(FILES ${reference_dir}/dobrenz.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${reference_dir}/dobrenz.bash DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions
            RENAME dobrenz)
  endif()

  install(FILES README.md DESTINATION ${DZ_DOC_DIR})
  install(DIRECTORY docs/ DESTINATION ${DZ_DOC_DIR}/docs FILES_MATCHING PATTERN "*.md")
  return()
endif()

# --- Windows: the release layout ------------------------------------------------

# A text page as Windows' Notepad reads it everywhere: UTF-8 with a byte-order
# mark and CR LF line ends; @VERSION@ becomes the project's version.
function(dz_windows_text source target)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
  file(READ ${source} text)
  set(VERSION ${PROJECT_VERSION})
  string(CONFIGURE "${text}" text @ONLY)
  string(REPLACE "\n" "\r\n" text "${text}")
  string(ASCII 239 187 191 bom)
  file(WRITE ${target} "${bom}${text}")
endfunction()

set(pages ${CMAKE_BINARY_DIR}/release-pages)
dz_windows_text(${PROJECT_SOURCE_DIR}/packaging/install-zh.txt "${pages}/安装说明.txt")
dz_windows_text(${PROJECT_SOURCE_DIR}/packaging/install-en.txt ${pages}/INSTALL.txt)
dz_windows_text(${PROJECT_SOURCE_DIR}/packaging/test-host/README.txt ${pages}/test-host-README.txt)

# The import libraries of the DLLs are for linking here only: not installed.
install(TARGETS DobrenzData dobrenz RUNTIME DESTINATION . ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
install(FILES "${pages}/安装说明.txt" ${pages}/INSTALL.txt DESTINATION .)
install(FILES samples/host/CASSCode.txt samples/host/EPSWconvert.txt DESTINATION code-tables)

install(TARGETS qelhost QelBlk60 QelCore60 RUNTIME DESTINATION test-host ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
install(FILES ${pages}/test-host-README.txt DESTINATION test-host RENAME README.txt)
install(FILES packaging/test-host/cass_session.script packaging/test-host/cass_session.expected
        DESTINATION test-host)
install(FILES samples/cass/sample.cas samples/cass/sample.qs samples/cass/parcels.txt DESTINATION test-host/sample)
