# Writes a gzipped manual page for one tool from its --help and --version.
#   cmake -DHELP2MAN=... -DTOOL=... -DWHATIS=... -DPAGE=....1.gz -P ManPage.cmake
get_filename_component(name ${TOOL} NAME)
string(REGEX REPLACE "\\.gz$" "" plain ${PAGE})
get_filename_component(folder ${PAGE} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
execute_process(COMMAND ${HELP2MAN} --no-info --section 1 --name ${WHATIS} --output ${plain} ${TOOL}
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "help2man could not make the page of ${name}")
endif()
# -n: no name or time stamp in the gzip header, so the same page packs the same.
execute_process(COMMAND gzip -9nf ${plain} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip could not pack the page of ${name}")
endif()
