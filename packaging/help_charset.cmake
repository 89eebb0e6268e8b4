# Writes the help's sources, kept in UTF-8, in Windows-1251: the code page of
# the help's language (0x419), in which viewers read the contents, the index
# and the title. Pages that declare charset=utf-8 declare windows-1251 instead.
# A character that Windows-1251 lacks stops the build: write it as an HTML
# entity (&rarr;, &minus;).
#   cmake -DSOURCE=<folder> -DDEST=<folder> -DICONV=<iconv> -P help_charset.cmake
file(REMOVE_RECURSE "${DEST}")
file(MAKE_DIRECTORY "${DEST}")
file(GLOB names RELATIVE "${SOURCE}" "${SOURCE}/*")
foreach(name IN LISTS names)
  file(READ "${SOURCE}/${name}" text)
  string(REPLACE "charset=utf-8" "charset=windows-1251" text "${text}")
  file(WRITE "${DEST}/${name}.utf-8" "${text}")
  execute_process(COMMAND "${ICONV}" -f UTF-8 -t WINDOWS-1251 "${DEST}/${name}.utf-8"
    OUTPUT_FILE "${DEST}/${name}" ERROR_VARIABLE error RESULT_VARIABLE result)
  file(REMOVE "${DEST}/${name}.utf-8")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "resources/help/${name}: not writable in Windows-1251: ${error}")
  endif()
endforeach()
