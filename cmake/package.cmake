# The release archive, made by CPack's ZIP generator:
#   dist/kobex-<version>-win32.zip holding kobex.exe, README.txt, LICENSE.txt,
#   CHANGES.txt (this version's entry of CHANGELOG.md), and SHA256SUMS and
#   SHA1SUMS for those four (SHA-1 for Windows XP, whose one checksum tool
#   from Microsoft knows no SHA-256).
# The same commit gives the same archive: every entry's times are the commit's
# time (SOURCE_DATE_EPOCH), and the texts are made with Windows line ends here.

set(KOBEX_DIST_DIR "${PROJECT_SOURCE_DIR}/dist" CACHE PATH "Where the release archive is made")

# The commit's time, unless the builder gives one; without either, the
# earliest time a ZIP entry can hold (1980-01-01).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(KOBEX_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
  execute_process(COMMAND git log -1 --format=%ct
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE KOBEX_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE git_result ERROR_QUIET)
  if(NOT git_result EQUAL 0 OR NOT KOBEX_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    set(KOBEX_SOURCE_DATE_EPOCH 315532800)
  endif()
endif()

set(package_texts ${PROJECT_BINARY_DIR}/package)
configure_file(docs/windows-readme.txt ${package_texts}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(LICENSE ${package_texts}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

# CHANGES.txt: the entry of CHANGELOG.md headed "## [<version>]", up to the
# next version's heading or the links at the foot of the file, with the
# Markdown marks taken off. A version without an entry makes no archive.
# (file(READ) keeps no carriage returns: a CHANGELOG.md with CR LF reads the same.)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/CHANGELOG.md)
file(READ ${PROJECT_SOURCE_DIR}/CHANGELOG.md changelog)
string(FIND "${changelog}" "\n## [${KOBEX_VERSION_TEXT}]" entry_start)
if(entry_start EQUAL -1)
  message(FATAL_ERROR "CHANGELOG.md has no entry \"## [${KOBEX_VERSION_TEXT}]\"")
endif()
math(EXPR entry_start "${entry_start} + 4")
string(SUBSTRING "${changelog}" ${entry_start} -1 changes)
foreach(next "\n## [" "\n[")
  string(FIND "${changes}" "${next}" entry_end)
  if(NOT entry_end EQUAL -1)
    string(SUBSTRING "${changes}" 0 ${entry_end} changes)
  endif()
endforeach()
string(REGEX REPLACE "^\\[([^]]*)\\]" "kobex \\1" changes "${changes}")
string(REGEX REPLACE "\n+### ([^\n]*)" "\n\n\\1:" changes "${changes}")
string(REGEX REPLACE "\\[([^]]*)\\]\\(([^)]*)\\)" "\\1 (\\2)" changes "${changes}")
string(REPLACE "`" "" changes "${changes}")
string(REPLACE "**" "" changes "${changes}")
string(STRIP "${changes}" changes)
string(REPLACE "\n" "\r\n" changes "${changes}\n")
file(WRITE ${package_texts}/CHANGES.txt "${changes}")
# ZIP's DOS times are local times: made in UTC, they do not depend on the
# builder's time zone.
file(WRITE ${package_texts}/cpack_options.cmake
     "set(ENV{SOURCE_DATE_EPOCH} \"${KOBEX_SOURCE_DATE_EPOCH}\")\nset(ENV{TZ} UTC)\n")

install(TARGETS kobex RUNTIME DESTINATION .)
install(FILES ${package_texts}/README.txt ${package_texts}/LICENSE.txt ${package_texts}/CHANGES.txt DESTINATION .)
install(CODE [[
  set(staged "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  foreach(algorithm SHA256 SHA1)
    set(sums "")
    foreach(name CHANGES.txt kobex.exe LICENSE.txt README.txt)
      file(${algorithm} "${staged}/${name}" hash)
      string(APPEND sums "${hash}  ${name}\n")
    endforeach()
    file(WRITE "${staged}/${algorithm}SUMS" "${sums}")
  endforeach()
]])

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME kobex)
set(CPACK_PACKAGE_VENDOR Veltrano)
set(CPACK_PACKAGE_VERSION ${KOBEX_VERSION_TEXT})
set(CPACK_PACKAGE_FILE_NAME kobex-${KOBEX_VERSION_TEXT}-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_OUTPUT_FILE_PREFIX ${KOBEX_DIST_DIR})
# CPack stages the archive's contents in _CPack_Packages/ under this folder:
# the build's own, whichever folder cpack is started from.
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${package_texts}/cpack_options.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/zip_in_name_order.cmake)
set(CPACK_KOBEX_CMAKE ${CMAKE_COMMAND})
include(CPack)
