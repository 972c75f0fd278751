# The Chromium desktop: the simulated desktop with a real Chromium as the browser, driven over
# the DevTools pipe. The `velmox` program (cmake/sim.cmake) is built on it.
find_package(nlohmann_json 3.10 CONFIG REQUIRED)

file(GLOB_RECURSE VELMOX_CHROMIUM_SOURCES CONFIGURE_DEPENDS src/platform/chromium/*.cpp)
list(FILTER VELMOX_CHROMIUM_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(velmox_chromium STATIC ${VELMOX_CHROMIUM_SOURCES})
target_link_libraries(velmox_chromium PUBLIC velmox_sim nlohmann_json::nlohmann_json)
