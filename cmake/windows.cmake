# The Windows desktop: Velmox.exe cross-compiled with MinGW-w64, its application folder under
# dist/Velmox, the setup program, and the Windows layer's own tests (run under Wine).
enable_language(RC)

# Every executable carries its runtime: nothing beside Velmox.exe that Windows does not ship.
if(MSVC)
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded")
else()
  add_link_options(-static)
endif()
add_compile_definitions(NOMINMAX)
# A compile unit of several files that include <windows.h> outgrows GCC's column tracking, and
# GCC would stop checking for misleading indentation in the rest of the unit.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-flarge-source-files>)
endif()

file(GLOB VELMOX_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
list(FILTER VELMOX_WIN32_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(velmox_win32 STATIC ${VELMOX_WIN32_SOURCES})
target_link_libraries(velmox_win32 PUBLIC velmox_core ole32 oleaut32 uuid comctl32 comdlg32
                      shell32 winmm shlwapi bcrypt)

add_executable(Velmox WIN32 src/platform/win32/main.cpp resources/windows/velmox.rc)
target_include_directories(Velmox PRIVATE src resources)
target_link_libraries(Velmox PRIVATE velmox_win32)

# VelmoxStarter.exe: starts Velmox with the browser while "AutoLoad" is set; installed beside
# Velmox.exe and started at logon. It has no window.
file(GLOB VELMOX_STARTER_SOURCES CONFIGURE_DEPENDS src/platform/win32/starter/*.cpp)
add_executable(VelmoxStarter WIN32 ${VELMOX_STARTER_SOURCES})
target_link_libraries(VelmoxStarter PRIVATE velmox_win32)
if(NOT MSVC)
  target_link_options(VelmoxStarter PRIVATE -s)  # no symbols: it stays small on disk
endif()

# dist/Velmox: the application folder as the setup program installs it.
set(VELMOX_DIST_DIR ${CMAKE_SOURCE_DIR}/dist/Velmox)
add_custom_target(dist ALL
  COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:Velmox> -DSTARTER=$<TARGET_FILE:VelmoxStarter>
          -DAPP=${CMAKE_SOURCE_DIR}/resources/app -DDEST=${VELMOX_DIST_DIR}
          -P ${CMAKE_SOURCE_DIR}/cmake/windows-dist.cmake
  DEPENDS Velmox VelmoxStarter
  COMMENT "Laying out dist/Velmox")

find_program(MAKENSIS makensis)
if(MAKENSIS)
  set(VELMOX_SETUP ${CMAKE_SOURCE_DIR}/dist/VelmoxSetup.exe)
  add_custom_target(setup ALL
    COMMAND ${MAKENSIS} -V2 -DDIST=${VELMOX_DIST_DIR} -DOUTFILE=${VELMOX_SETUP}
            -DVERSION=${PROJECT_VERSION} ${CMAKE_SOURCE_DIR}/installer/velmox.nsi
    DEPENDS dist ${CMAKE_SOURCE_DIR}/installer/velmox.nsi
    COMMENT "Building the setup program dist/VelmoxSetup.exe")
endif()

# The Windows layer's tests, with GoogleTest built from the sources Debian ships.
set(VELMOX_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(EXISTS ${VELMOX_GTEST_SOURCE}/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  add_subdirectory(${VELMOX_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

  file(GLOB VELMOX_WIN32_TEST_SOURCES CONFIGURE_DEPENDS tests/win32/*_test.cpp)
  # The simulated desktop's recording services, which build for Windows too.
  set(VELMOX_SIM_SERVICES src/platform/sim/sim_trace.cpp src/platform/sim/sim_services.cpp
      src/platform/sim/sim_dialogs.cpp src/platform/sim/sim_dialog_trace.cpp)
  add_executable(velmox_win32_tests ${VELMOX_WIN32_TEST_SOURCES} ${VELMOX_SIM_SERVICES}
                 resources/windows/velmox.rc)
  target_include_directories(velmox_win32_tests PRIVATE src tests resources)
  target_link_libraries(velmox_win32_tests PRIVATE velmox_win32 GTest::gtest GTest::gmock
                        GTest::gtest_main)

  # The small program of the start-up test that plays the shell's part.
  add_executable(tray_poke tests/win32/tray_poke.cpp)
  target_include_directories(tray_poke PRIVATE tests)
  # Another program holding a file open without sharing it.
  add_executable(file_hold tests/win32/file_hold.cpp)
  # The Settings dialog's tests read its list and buttons with this one.
  add_executable(dialog_probe tests/win32/dialog_probe.cpp)
  target_include_directories(dialog_probe PRIVATE src tests)
endif()

# The stand-in browser the Wine tests run Velmox.exe against (registered only in their throwaway
# prefix), and the program the tests drive it with.
file(GLOB VELMOX_STANDIN_SOURCES CONFIGURE_DEPENDS tests/win32/standin/*.cpp)
add_library(standin_browser MODULE ${VELMOX_STANDIN_SOURCES} tests/win32/standin/standin_browser.def)
set_target_properties(standin_browser PROPERTIES PREFIX "")
target_compile_definitions(standin_browser PRIVATE CINTERFACE COBJMACROS)
target_link_libraries(standin_browser PRIVATE ole32 oleaut32 uuid shlwapi)
add_executable(standin_drive tests/win32/standin_drive.cpp)
