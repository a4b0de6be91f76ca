# cmake -DSOURCE_DIR=<packaging> -DWORK_DIR=<scratch> -P release_version_test.cmake
# Reads the version of small release files, each in its own cmake so that a file that must
# stop the configure can be seen doing so. With -DRELEASE_FILE it is that child.
include(${SOURCE_DIR}/release_version.cmake)

if(DEFINED RELEASE_FILE)
  ob_release_version("${RELEASE_FILE}" version)
  message(STATUS "version=${version}")
  return()
endif()

set(magic "KELNO Electronics firmware file")
set(record ":020000020000FC")
set(end_record ":00000001FF")
# name | file text | expected version, or FAIL
set(cases
  "plain|${magic}\nname X\nprogid P\nversion 1.37\n${record}\n${end_record}\n|1.37"
  "CR LF lines|${magic}\r\nversion 2.05\r\n${end_record}\r\n|2.05"
  "the last line before the end record counts|${magic}\nversion 1.2\nversion 1.37\n${end_record}\n|1.37"
  "nothing after the end record counts|${magic}\nversion 1.37\n${end_record}\nversion 9.9\n|1.37"
  "any separator after the key|${magic}\nversion:3.4\n${end_record}\n|3.4"
  "no version line|${magic}\nname X\n${end_record}\n|FAIL"
  "version only after the end record|${magic}\n${end_record}\nversion 1.37\n|FAIL"
  "no point|${magic}\nversion 137\n${end_record}\n|FAIL"
  "not decimal|${magic}\nversion 1.x7\n${end_record}\n|FAIL"
  "trailing text|${magic}\nversion 1.37 beta\n${end_record}\n|FAIL")

set(failures 0)
set(index 0)
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 name)
  list(GET parts 1 text)
  list(GET parts 2 expected)
  string(REPLACE "\\n" "\n" text "${text}")
  math(EXPR index "${index} + 1")
  set(file "${WORK_DIR}/release-${index}.fw")
  file(WRITE "${file}" "${text}")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${SOURCE_DIR} -DRELEASE_FILE=${file}
            -P ${CMAKE_CURRENT_LIST_FILE}
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(expected STREQUAL "FAIL")
    if(result EQUAL 0)
      message(SEND_ERROR "${name}: read as a version (${output}) instead of stopping")
      math(EXPR failures "${failures} + 1")
    endif()
  elseif(NOT result EQUAL 0 OR NOT output MATCHES "version=${expected}\n")
    message(SEND_ERROR "${name}: expected ${expected}, got ${output}${errors}")
    math(EXPR failures "${failures} + 1")
  endif()
endforeach()
if(failures GREATER 0)
  message(FATAL_ERROR "${failures} release version case(s) failed")
endif()
message(STATUS "all release version cases read as expected")
