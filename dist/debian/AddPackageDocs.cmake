# Run by cpack once the components are installed into their staging folders,
# before the packages are made: each package gets its copyright and
# changelog, and its manual pages compressed, as Debian's policy asks.
# CPACK_KELVIEW_PACKAGES lists COMPONENT=PACKAGE pairs.
foreach(pair IN LISTS CPACK_KELVIEW_PACKAGES)
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 component)
  list(GET pair 1 package)
  set(root ${CPACK_TEMPORARY_DIRECTORY}/${component}${CPACK_PACKAGING_INSTALL_PREFIX})
  if(NOT IS_DIRECTORY ${root})
    message(FATAL_ERROR "No staging folder ${root} for the package ${package}")
  endif()

  set(doc ${root}/share/doc/${package})
  file(MAKE_DIRECTORY ${doc})
  file(COPY_FILE ${CPACK_KELVIEW_COPYRIGHT} ${doc}/copyright)
  # -n: no name or time stamp inside, so that a rebuild gives the same bytes.
  execute_process(COMMAND gzip -9n -c ${CPACK_KELVIEW_CHANGELOG} OUTPUT_FILE ${doc}/changelog.gz
                  COMMAND_ERROR_IS_FATAL ANY)

  file(CHMOD ${doc} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
       WORLD_READ WORLD_EXECUTE)
  file(CHMOD ${doc}/copyright ${doc}/changelog.gz PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

  file(GLOB_RECURSE pages ${root}/share/man/*.[1-9])
  foreach(page IN LISTS pages)
    execute_process(COMMAND gzip -9nf ${page} COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endforeach()
