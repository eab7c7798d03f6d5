# The Windows package: one folder with the tool, ravo and the library's DLL, the Qt and mingw
# run-time DLLs they load, Qt's Windows platform plugin and the demo data folder beside them,
# as a portable zip (`cpack -G ZIP`) and an NSIS installer (`cpack -G NSIS`) with a Start-menu
# entry and an uninstaller. The header, import library and .def file for integrators are an
# optional component of the installer.
install(TARGETS ravo Kelvane_Ravo_Q9T2
  RUNTIME DESTINATION . COMPONENT programs
  ARCHIVE DESTINATION lib COMPONENT integrators
  PUBLIC_HEADER DESTINATION include COMPONENT integrators)
install(FILES ${PROJECT_SOURCE_DIR}/library/Kelvane_Ravo_Q9T2.def DESTINATION lib COMPONENT integrators)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/KelvaneRavoTools/ DESTINATION KelvaneRavoTools COMPONENT programs)

# The compiler's run-time DLLs, which every program and Qt itself load.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${dll_path}")
    message(FATAL_ERROR "The compiler does not know where ${dll} is")
  endif()
  install(FILES ${dll_path} DESTINATION . COMPONENT programs)
endforeach()

if(RAVO_BUILD_TOOL)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  install(TARGETS KelvaneRavoTools RUNTIME DESTINATION . COMPONENT programs)
  install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    DESTINATION . COMPONENT programs)
  install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms COMPONENT programs)
  set(CPACK_PACKAGE_EXECUTABLES KelvaneRavoTools "Kelvane Ravo Tools")
  set(CPACK_NSIS_INSTALLED_ICON_NAME KelvaneRavoTools.exe)
endif()

set(CPACK_PACKAGE_NAME KelvaneRavoTools)
set(CPACK_PACKAGE_VENDOR Kelvane)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "Configuration tool and communication library for the six-axis stepper-motor controller")
set(CPACK_PACKAGE_INSTALL_DIRECTORY KelvaneRavoTools)
set(CPACK_NSIS_PACKAGE_NAME "Kelvane Ravo Tools")
set(CPACK_NSIS_DISPLAY_NAME "Kelvane Ravo Tools ${PROJECT_VERSION}")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/tool/resources/kelvane-ravo-tools.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/tool/resources/kelvane-ravo-tools.ico)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# A 64-bit installer for 64-bit programs, into the 64-bit program folder. CPack has no setting
# for the installer's target; its script takes the compressor line as given, so the Target
# command rides on it.
set(CPACK_NSIS_COMPRESSOR "lzma\n  Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_COMPONENTS_ALL programs integrators)
set(CPACK_COMPONENT_PROGRAMS_DISPLAY_NAME "Tool, ravo and library")
set(CPACK_COMPONENT_PROGRAMS_REQUIRED ON)
set(CPACK_COMPONENT_INTEGRATORS_DISPLAY_NAME "Header and import library for integrators")
set(CPACK_COMPONENT_INTEGRATORS_DISABLED ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR ZIP NSIS)
# KelvaneRavoTools-<version>.zip and KelvaneRavoTools-<version>-setup.exe.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_SOURCE_DIR}/WindowsPackageNames.cmake)
include(CPack)
