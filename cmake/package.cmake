# The release archive, made by CPack's ZIP generator:
#   dist/kobex-<version>-win32.zip holding kobex.exe, README.txt, LICENSE.txt
#   and SHA256SUMS for the three.
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
# ZIP's DOS times are local times: made in UTC, they do not depend on the
# builder's time zone.
file(WRITE ${package_texts}/cpack_options.cmake
     "set(ENV{SOURCE_DATE_EPOCH} \"${KOBEX_SOURCE_DATE_EPOCH}\")\nset(ENV{TZ} UTC)\n")

install(TARGETS kobex RUNTIME DESTINATION .)
install(FILES ${package_texts}/README.txt ${package_texts}/LICENSE.txt DESTINATION .)
install(CODE [[
  set(staged "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  set(sums "")
  foreach(name kobex.exe LICENSE.txt README.txt)
    file(SHA256 "${staged}/${name}" hash)
    string(APPEND sums "${hash}  ${name}\n")
  endforeach()
  file(WRITE "${staged}/SHA256SUMS" "${sums}")
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
include(CPack)
