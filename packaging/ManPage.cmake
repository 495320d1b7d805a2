# Writes a gzipped manual page for one tool from its --help and --version.
#   cmake -DHELP2MAN=... -DTOOL=... -DWHATIS=... -DPAGE=....1.gz [-DEMULATOR=...] -P ManPage.cmake
# A cross-built tool runs through EMULATOR (words parted by commas): help2man is given a
# script of the tool's name that runs it there.
get_filename_component(name ${TOOL} NAME)
string(REGEX REPLACE "\\.gz$" "" plain ${PAGE})
get_filename_component(folder ${PAGE} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
set(program ${TOOL})
if(EMULATOR)
  string(REPLACE "," " " emulator "${EMULATOR}")
  set(program ${folder}/emulated/${name})
  file(WRITE ${program} "#!/bin/sh\nexec ${emulator} ${TOOL} \"$@\"\n")
  file(CHMOD ${program} PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endif()
execute_process(COMMAND ${HELP2MAN} --no-info --section 1 --name ${WHATIS} --output ${plain} ${program}
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "help2man could not make the page of ${name}")
endif()
# -n: no name or time stamp in the gzip header, so the same page packs the same.
execute_process(COMMAND gzip -9nf ${plain} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip could not pack the page of ${name}")
endif()
