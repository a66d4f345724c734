# Run by CPack once it has made the zip, before it is put in place and summed: the zip is made
# again from the same files with the time of the source's last commit, in UTC, and without owners
# or inode times, so that the same commit always gives the same bytes. Outside a git checkout
# SOURCE_DATE_EPOCH gives that time; without either no zip is made, since any other time would
# give the same source another zip.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${CPACK_POKOPE_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "The zip's files carry the time of the source's last commit, which git "
    "cannot tell for ${CPACK_POKOPE_SOURCE_DIR}: pack in a git checkout, or set SOURCE_DATE_EPOCH "
    "to that commit's time (git log -1 --format=%ct), in seconds since 1970.")
endif()

function(run) # in the folder of the unpacked files
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${files} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "failed: ${ARGN}")
  endif()
endfunction()

foreach(zip IN LISTS CPACK_PACKAGE_FILES)
  set(files ${zip}.files)
  file(REMOVE_RECURSE ${files})
  file(MAKE_DIRECTORY ${files})
  run(unzip -q ${zip} -d ${files})
  file(GLOB_RECURSE entries RELATIVE ${files} ${files}/*)
  list(SORT entries)
  file(GLOB_RECURSE all LIST_DIRECTORIES true ${files}/*)
  run(chmod -R u=rwX,go=rX ${files})
  run(touch -d @${epoch} ${all})
  file(REMOVE ${zip})
  run(${CMAKE_COMMAND} -E env TZ=UTC zip -q -X -D -9 ${zip} ${entries})
  file(REMOVE_RECURSE ${files})
endforeach()
