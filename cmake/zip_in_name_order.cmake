# Run by CPack once it has made the archive: the archive again, with its entries
# in name order. CPack takes them in the order in which the file system lists
# the staging folder, which is not the same on every file system (seen: ext4
# and tmpfs, Debian 13's /tmp, listed it in different orders): the same sources
# then gave two archives. The entries' times stay the commit's (SOURCE_DATE_EPOCH).
foreach(package IN LISTS CPACK_PACKAGE_FILES)
  file(GLOB names RELATIVE "${CPACK_TEMPORARY_INSTALL_DIRECTORY}" "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
  list(SORT names)
  file(REMOVE "${package}")
  execute_process(COMMAND "${CPACK_KOBEX_CMAKE}" -E tar cf "${package}" --format=zip -- ${names}
                  WORKING_DIRECTORY "${CPACK_TEMPORARY_INSTALL_DIRECTORY}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "The archive ${package} could not be made again in name order")
  endif()
endforeach()
