# Run by `cmake --install` and by CPack after the program folder is installed:
# the files that name where the installation goes, made now that the prefix
# (CMAKE_INSTALL_PREFIX, or --prefix) is known. DESTDIR is honoured by
# file(INSTALL), which also lists them in install_manifest.txt.
# The caller sets:
#   ZELVO_PROGRAM_DIR   the program folder, relative to the prefix
#   ZELVO_BINDIR        the folder of the links, ZELVO_MANDIR of the manual
#                       pages (relative to the prefix, or absolute)
#   ZELVO_VERSION       the program's version, for the manual pages
#   ZELVO_PAGES         the folder of the manual pages (NAME.1), whose
#                       @ZELVO_VERSION@, @ZELVO_PROGRAM_PATH@ and
#                       @ZELVO_BIN_PATH@ are filled in here
#   ZELVO_WORK          a folder of the build folder for the files made here
#   ZELVO_DESKTOP       the folder of the teacher's menu entries (NAME.desktop.in,
#                       whose @ZELVO_CLASS_FILES@ is filled in here), and
#   ZELVO_DATADIR       the folder under which they go into applications

# An absolute path without doubled slashes, "." or "..".
function(zelvo_full_path out dir)
  if(NOT IS_ABSOLUTE "${dir}")
    set(dir "${CMAKE_INSTALL_PREFIX}/${dir}")
  endif()
  string(REGEX REPLACE "/+" "/" dir "${dir}")
  get_filename_component(dir "${dir}" ABSOLUTE)
  set(${out} "${dir}" PARENT_SCOPE)
endfunction()

zelvo_full_path(program_path "${ZELVO_PROGRAM_DIR}")
zelvo_full_path(bin_path "${ZELVO_BINDIR}")
zelvo_full_path(man_path "${ZELVO_MANDIR}")
zelvo_full_path(data_path "${ZELVO_DATADIR}")

# The links in bin to the programs. Within one top-level folder the link is
# relative, so the tree still works when moved (a DESTDIR staging, a prefix in
# a home folder); from one top-level folder into another (/usr/bin to
# /opt/zelvo, the package) it is absolute, as Debian's policy asks.
string(REGEX MATCH "^/[^/]*" bin_top "${bin_path}")
string(REGEX MATCH "^/[^/]*" program_top "${program_path}")
file(MAKE_DIRECTORY "${ZELVO_WORK}/bin")
foreach(program zelvo zelvo-export)
  if(bin_top STREQUAL program_top)
    file(RELATIVE_PATH target "${bin_path}" "${program_path}/${program}")
  else()
    set(target "${program_path}/${program}")
  endif()
  file(CREATE_LINK "${target}" "${ZELVO_WORK}/bin/${program}" SYMBOLIC)
  file(INSTALL DESTINATION "${bin_path}" TYPE FILE FILES "${ZELVO_WORK}/bin/${program}")
endforeach()

# The manual pages, naming the program folder and the links where they are.
# In roff a minus is "\-" and a backslash "\e".
function(zelvo_roff_text out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()
zelvo_roff_text(ZELVO_PROGRAM_PATH "${program_path}")
zelvo_roff_text(ZELVO_BIN_PATH "${bin_path}")
foreach(page zelvo.1 zelvo-export.1)
  configure_file("${ZELVO_PAGES}/${page}" "${ZELVO_WORK}/${page}" @ONLY)
  execute_process(COMMAND gzip -9n -c "${ZELVO_WORK}/${page}"
    OUTPUT_FILE "${ZELVO_WORK}/${page}.gz" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip of the manual page ${page}: ${status}")
  endif()
  file(INSTALL DESTINATION "${man_path}/man1" TYPE FILE FILES "${ZELVO_WORK}/${page}.gz")
endforeach()

# The teacher's menu entries, starting zelvo-class-files in the program folder.
set(ZELVO_CLASS_FILES "${program_path}/zelvo-class-files")
foreach(entry ClassReport ClassResults)
  set(desktop_file "${ZELVO_WORK}/ru.zelvo.Zelvo.${entry}.desktop")
  configure_file("${ZELVO_DESKTOP}/ru.zelvo.Zelvo.${entry}.desktop.in" "${desktop_file}" @ONLY)
  file(INSTALL DESTINATION "${data_path}/applications" TYPE FILE FILES "${desktop_file}")
endforeach()
