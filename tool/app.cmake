# The Qt 6 Widgets tool. Its windows form the static library kelvane_tool, which the executable
# kelvane-ravo-tools and the widget tests link, so the tests drive the real windows.
find_package(Qt6 REQUIRED COMPONENTS Widgets)

add_library(kelvane_tool STATIC)
set_target_properties(kelvane_tool PROPERTIES
  AUTOMOC ON
  AUTOUIC ON
  AUTOUIC_SEARCH_PATHS ${CMAKE_CURRENT_SOURCE_DIR}/resources)
target_include_directories(kelvane_tool PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kelvane_tool PUBLIC kelvane_core Kelvane_Ravo_Q9T2 Qt6::Widgets)

# Application shell (tool/shell)
target_sources(kelvane_tool PRIVATE
  shell/CAboutDlg.cpp
  shell/CDropDownComboBox.cpp
  shell/CKelvaneRavoToolsApp.cpp
  shell/CKelvaneRavoToolsDlg.cpp
  shell/Prompter.cpp
  resources/CKelvaneRavoToolsDlg.ui
)

# Program editor (tool/editor)
target_sources(kelvane_tool PRIVATE
  editor/CUserProgramDlg.cpp
)

# Machine configuration and operation views (tool/views)
target_sources(kelvane_tool PRIVATE
  views/CManualOptDlg.cpp
  views/CMotorParSettingDlg.cpp
  views/CPeripheralDlg.cpp
  views/CVideoTeachOptDlg.cpp
  views/CVideoTechIOSettingDlg.cpp
  views/ReadControls.cpp
)

# The application icon, compiled in as :/kelvane/kelvane-ravo-tools.png.
qt_add_resources(kelvane_tool kelvane_tool_resources
  PREFIX /kelvane
  BASE resources
  FILES resources/kelvane-ravo-tools.png)

# The program. Its file name differs from the data folder KelvaneRavoTools beside it.
add_executable(KelvaneRavoTools shell/main.cpp)
target_link_libraries(KelvaneRavoTools PRIVATE kelvane_tool)
set_target_properties(KelvaneRavoTools PROPERTIES OUTPUT_NAME kelvane-ravo-tools)

# Writes a PNG of the main window with each view (scripts/screenshot).
add_executable(KelvaneRavoScreenshots shell/ScreenshotMain.cpp)
target_link_libraries(KelvaneRavoScreenshots PRIVATE kelvane_tool)
set_target_properties(KelvaneRavoScreenshots PROPERTIES OUTPUT_NAME kelvane-ravo-screenshots)
