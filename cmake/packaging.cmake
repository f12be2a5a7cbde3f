# The Debian package (scripts/package builds it): manual pages, the bash completion, the
# package's documents and CPack's settings. Only with -DQUINTREL_PACKAGE=ON, as the manual
# page of quintrel-cli is made from its --help by help2man, which other builds need not have.

find_program(HELP2MAN help2man REQUIRED)
find_program(GZIP gzip REQUIRED)

set(package_files ${PROJECT_BINARY_DIR}/package)
set(cli_page ${package_files}/quintrel-cli.1)
add_custom_command(
  OUTPUT ${cli_page}.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${package_files}
  COMMAND ${HELP2MAN} --no-info --no-discard-stderr --section=1
          "--name=measure how much C and C++ sources changed between two versions"
          --include=${PROJECT_SOURCE_DIR}/res/man/quintrel-cli.h2m --output=${cli_page}
          $<TARGET_FILE:quintrel-cli>
  COMMAND ${GZIP} -9nf ${cli_page}
  DEPENDS quintrel-cli ${PROJECT_SOURCE_DIR}/res/man/quintrel-cli.h2m
  COMMENT "Manual page of quintrel-cli from its --help")

# Files installed gzipped, as Debian keeps manual pages and changelogs.
set(gzipped)
foreach(source res/man/quintrel.1 res/debian/changelog)
  get_filename_component(name ${source} NAME)
  add_custom_command(
    OUTPUT ${package_files}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${package_files}
    COMMAND ${GZIP} -9nc ${PROJECT_SOURCE_DIR}/${source} > ${package_files}/${name}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/${source})
  list(APPEND gzipped ${package_files}/${name}.gz)
endforeach()
add_custom_target(quintrel_package_files ALL DEPENDS ${cli_page}.gz ${gzipped})

install(FILES ${cli_page}.gz ${package_files}/quintrel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/res/completion/quintrel-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${package_files}/changelog.gz ${PROJECT_SOURCE_DIR}/res/debian/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quintrel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quintrel)
set(CPACK_PACKAGE_VENDOR "The Quintrel developers")
set(CPACK_PACKAGE_CONTACT "The Quintrel developers <developers@quintrel.vantle.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "measure how much C and C++ sources changed between two versions")
set(CPACK_PACKAGE_DESCRIPTION
    "Quintrel pairs the C and C++ sources of an old and a new version of a\n\
folder (or of two git revisions) by name and reports for each file the\n\
statements added, deleted and present, where a statement is a ';', '{',\n\
':' or '#' outside comments and literals and a line that merely moved is\n\
no change. A window with a sortable table, totals and CSV and JSON\n\
reports, and quintrel-cli for scripts and CI.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The module folder holds a private library, not one for other packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_INSTALL_FULL_LIBDIR}/quintrel)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "git")
include(CPack)
