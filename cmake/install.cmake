# What `cmake --install` puts where.
#
# Natively: dobrenz (and dobrenz-export where the build has it) in bin/, its
# manual page and bash completion, both made by dobrenz itself from its
# command tables, and the documents in share/doc/dobrenz/.

include(GNUInstallDirs)

# `cpack` packs what is built and builds nothing itself: after the demo, which
# builds dobrenz and its reference pages only, a package takes a moment
# instead of building every test first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(DZ_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/dobrenz)

if(NOT WIN32)
  install(TARGETS dobrenz RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  if(TARGET dobrenz-export)
    install(TARGETS dobrenz-export RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()

  if(NOT CMAKE_CROSSCOMPILING)
    set(reference_dir ${CMAKE_BINARY_DIR}/reference)
    add_custom_command(
      OUTPUT ${reference_dir}/dobrenz.1.gz ${reference_dir}/dobrenz.bash
      COMMAND ${CMAKE_COMMAND} -DDOBRENZ=$<TARGET_FILE:dobrenz> -DDIR=${reference_dir}
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
endif()
