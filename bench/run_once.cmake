# Runs a benchmark program once on one small case, as the test bench.<program> does:
#   cmake -DPROGRAM=<program> -DFILTER=<regex> -DFOLDER=<scratch folder> -P run_once.cmake
# The program gets a temporary folder, a home and a runtime folder of its own under FOLDER.
# It fails unless the program ends with status 0, ran a case without an error, and left its
# temporary folder empty.
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}/tmp" "${FOLDER}/home" "${FOLDER}/runtime")
file(CHMOD "${FOLDER}/runtime" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
set(ENV{TMPDIR} "${FOLDER}/tmp")
set(ENV{HOME} "${FOLDER}/home")
set(ENV{XDG_CONFIG_HOME} "${FOLDER}/home/.config")
set(ENV{XDG_CACHE_HOME} "${FOLDER}/home/.cache")
set(ENV{XDG_RUNTIME_DIR} "${FOLDER}/runtime")
set(ENV{QT_QPA_PLATFORM} offscreen)

execute_process(COMMAND "${PROGRAM}" "--benchmark_filter=${FILTER}" --benchmark_min_time=0.001
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
message("${output}${errors}")
set(faults "")
if(NOT status STREQUAL "0")
  string(APPEND faults "the program ended with status ${status}\n")
endif()
if(NOT output MATCHES "\nBM_")
  string(APPEND faults "no case matching ${FILTER} ran\n")
endif()
if(output MATCHES "ERROR OCCURRED")
  string(APPEND faults "a case stopped with an error\n")
endif()
file(GLOB_RECURSE left LIST_DIRECTORIES true RELATIVE "${FOLDER}/tmp" "${FOLDER}/tmp/*")
if(left)
  string(REPLACE ";" ", " left "${left}")
  string(APPEND faults "left in the temporary folder: ${left}\n")
endif()
if(faults)
  message(FATAL_ERROR "${faults}")
endif()
file(REMOVE_RECURSE "${FOLDER}")
