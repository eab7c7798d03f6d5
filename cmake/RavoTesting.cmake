# ravo_add_gtest(<name> SOURCES ... LIBS ... [OWN_MAIN] [SERIAL])
#
# One GoogleTest program per test folder. Each program gets its own output folder, so the
# log files the library writes beside the running executable never collide between programs,
# and a resource lock keeps the cases of one program from running at the same time. The cases
# are labelled with the tested layer, the first folder below tests/ (library, sim, core, cli,
# tool), and SERIAL ones also with slow, so that `ctest -L core` or `ctest -LE slow` runs a part.
#   OWN_MAIN  the sources bring main() (GUI tests set up Qt themselves)
#   SERIAL    timing tests: nothing else runs while they do
function(ravo_add_gtest name)
  cmake_parse_arguments(ARG "OWN_MAIN;SERIAL" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest Threads::Threads)
  if(NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${name})
  # The data folder of a build tree: the library writes its logs beside such a program.
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${name}/KelvaneRavoTools)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_SOURCE_DIR})
  string(REGEX REPLACE "/.*" "" labels "${folder}")
  set(serial FALSE)
  if(ARG_SERIAL)
    set(serial TRUE)
    list(APPEND labels slow)
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests/${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES RESOURCE_LOCK ${name} RUN_SERIAL ${serial} TIMEOUT 300)
  # The labels go on the discovered cases when CTest reads them: discovery passes a list-valued
  # property on as separate words.
  set(label_file ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
  file(WRITE ${label_file} "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${labels}\")\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${label_file})
endfunction()
