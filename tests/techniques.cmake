# Each pop-up technique of tests/techniques/techniques.txt on Velmox's Chromium desktop, with
# the result Velmox has today (a wanted window opened, an unwanted one blocked, or the known
# gap it is marked with), and each wanted one again with Ctrl held. `make compare` runs the
# same pages in the stock browser as well. The sanitizer build leaves them out: they test what
# Velmox decides on real pages, which the normal build shows.
if(NOT VELMOX_SANITIZE)
  file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/techniques/techniques.txt VELMOX_TECHNIQUES
    REGEX "^[a-z]")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/techniques/techniques.txt)
  foreach(line ${VELMOX_TECHNIQUES})
    string(REGEX MATCH "^[a-z0-9-]+" technique "${line}")
    set(run ${CMAKE_CURRENT_SOURCE_DIR}/techniques/run-technique $<TARGET_FILE:velmox> ${technique})
    add_test(NAME technique/${technique} COMMAND ${run} velmox --check)
    if(line MATCHES "^[a-z0-9-]+ *\\| *wanted")
      add_test(NAME technique/${technique}/ctrl COMMAND ${run} velmox-ctrl --check)
    endif()
  endforeach()
endif()
