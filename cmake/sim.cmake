# The simulated desktop and the `velmox` program that runs the core on it.
find_package(PkgConfig REQUIRED)
pkg_check_modules(GUMBO REQUIRED IMPORTED_TARGET gumbo)
pkg_check_modules(URIPARSER REQUIRED IMPORTED_TARGET liburiparser)
find_package(CLI11 CONFIG REQUIRED)

file(GLOB_RECURSE VELMOX_SIM_SOURCES CONFIGURE_DEPENDS src/platform/sim/*.cpp)
list(FILTER VELMOX_SIM_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(velmox_sim STATIC ${VELMOX_SIM_SOURCES})
target_link_libraries(velmox_sim PUBLIC velmox_core PkgConfig::GUMBO PkgConfig::URIPARSER)

add_executable(velmox src/platform/chromium/main.cpp)
target_link_libraries(velmox PRIVATE velmox_chromium CLI11::CLI11)

# The application folder a first run starts from: the resources, as an installation lays them out.
set(VELMOX_APP_DIR ${CMAKE_BINARY_DIR}/app)
add_custom_target(app_folder ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VELMOX_APP_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/resources/app ${VELMOX_APP_DIR}
  COMMENT "Preparing the application folder")
target_compile_definitions(velmox PRIVATE VELMOX_DEFAULT_APP_DIR="${VELMOX_APP_DIR}")
