# Run by CPack once it has made the zip, before it is put in place and summed: the zip is made
# again from the same files with the time of the source's last commit (or SOURCE_DATE_EPOCH), in
# UTC, and without owners or inode times, so that the same commit always gives the same bytes.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git -C ${CPACK_POKOPE_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
  if(failed OR epoch STREQUAL "")
    set(epoch 1230768000) # 2009-01-01, for a source that is not a git checkout
  endif()
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
