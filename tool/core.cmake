# The Qt-free model files; no file listed here may include a Qt header.
add_library(kelvane_core STATIC
  shell/GbkText.cpp
)
target_include_directories(kelvane_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})

# The controller sequences behind the machine views (motor and peripheral downloads, bus
# addresses, live status, teaching), shared with the whole-application download and ravo.
target_sources(kelvane_core PRIVATE
  views/ControllerAddress.cpp
  views/FieldParsing.cpp
  views/MachineStatus.cpp
  views/MotorDownload.cpp
  views/PeripheralCodes.cpp
  views/PeripheralDownload.cpp
  views/TeachSequence.cpp
)
target_link_libraries(kelvane_core PUBLIC Kelvane_Ravo_Q9T2)

# Application program records, the .kelvane file, the library list file and program names.
target_sources(kelvane_core PRIVATE
  shell/ApplicationProgramBuffer.cpp
  shell/ApplicationProgramFile.cpp
  shell/AtomicFile.cpp
  shell/FormattedPrinter.cpp
  shell/FormattedScanner.cpp
  shell/LibraryListFile.cpp
  shell/ProgramName.cpp
  shell/WholeFile.cpp
)

# The instruction catalogue, line records with jump upkeep, and the program slots of the grid.
target_sources(kelvane_core PRIVATE
  editor/CatalogueFile.cpp
  editor/CatalogueReaders.cpp
  editor/CellClick.cpp
  editor/DescriptionTable.cpp
  editor/InstructionCatalogue.cpp
  editor/JumpUpkeep.cpp
  editor/LineCodec.cpp
  editor/ParamConversion.cpp
  editor/ProgramFind.cpp
  editor/ProgramGridModel.cpp
  editor/TextRows.cpp
)
