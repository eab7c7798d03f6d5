# The kept regression inputs of each fuzz target, replayed as a CTest case of the main build:
# the target's check compiled with tests/fuzz/ReplayMain.cpp in place of libFuzzer.
foreach(target_and_source
    fuzz_kelvane_reader:KelvaneReaderFuzzer.cpp
    fuzz_library_list_reader:LibraryListReaderFuzzer.cpp
    fuzz_catalogue_param_types:CatalogueParamTypesFuzzer.cpp
    fuzz_catalogue_command_format:CatalogueCommandFormatFuzzer.cpp
    fuzz_catalogue_jump_commands:CatalogueJumpCommandsFuzzer.cpp
    fuzz_catalogue_descriptions:CatalogueDescriptionsFuzzer.cpp)
  string(REPLACE ":" ";" parts ${target_and_source})
  list(GET parts 0 target)
  list(GET parts 1 source)
  file(GLOB inputs ${CMAKE_CURRENT_LIST_DIR}/regressions/${target}/*)
  if(NOT inputs)
    continue()
  endif()
  add_executable(${target}_replay ${CMAKE_CURRENT_LIST_DIR}/${source} ${CMAKE_CURRENT_LIST_DIR}/ReplayMain.cpp)
  target_link_libraries(${target}_replay PRIVATE kelvane_core)
  add_test(NAME Fuzz.${target}.RegressionInputs COMMAND ${target}_replay ${inputs})
  set_tests_properties(Fuzz.${target}.RegressionInputs PROPERTIES LABELS core)
endforeach()
