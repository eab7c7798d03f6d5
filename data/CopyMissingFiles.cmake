# cmake -DSOURCE=<folder> -DDESTINATION=<folder> -P CopyMissingFiles.cmake
# Copies every file of SOURCE (recursively) that DESTINATION does not have yet.
file(GLOB_RECURSE files RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(file IN LISTS files)
  if(NOT EXISTS "${DESTINATION}/${file}")
    get_filename_component(folder "${DESTINATION}/${file}" DIRECTORY)
    file(MAKE_DIRECTORY "${folder}")
    file(COPY_FILE "${SOURCE}/${file}" "${DESTINATION}/${file}")
  endif()
endforeach()
