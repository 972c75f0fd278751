# Desktop scripts against a real, headless Chromium (`velmox --browser chromium`), each from a
# fresh folder and profile: the scripts of tests/scripts/chromium/, and those scripts of the
# simulated browser that run unchanged on Chromium. The others name windows Chromium has no
# counterpart for (a folder window, a document that is not a web page, tool and menu bars), or
# rest on the focus (the failure of a page whose focus Velmox cannot make sense of), which
# Chromium's rule does not read.
set(VELMOX_SCRIPTS_ON_BOTH
  tracking/context-menu.vmx tracking/frameset.vmx tracking/link-target-top.vmx
  tracking/local-pages.vmx tracking/popups.vmx tracking/servers-round-trip.vmx
  browser/context-menu-closed.vmx)

file(GLOB VELMOX_CHROMIUM_SCRIPTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/scripts/chromium/*.vmx)
set(VELMOX_CHROMIUM_RUNS ${VELMOX_CHROMIUM_SCRIPTS})
# The sanitizer build runs the shared scripts on the simulated browser already; on Chromium it
# runs only the Chromium desktop's own, which keeps the whole test run short.
if(NOT VELMOX_SANITIZE)
  foreach(script ${VELMOX_SCRIPTS_ON_BOTH})
    list(APPEND VELMOX_CHROMIUM_RUNS ${CMAKE_CURRENT_SOURCE_DIR}/scripts/${script})
  endforeach()
endif()

# A burst of 200 pop-ups takes the sanitizer build longer than the 15 s a script line may take.
set(VELMOX_CHROMIUM_SETTLE)
if(VELMOX_SANITIZE)
  set(VELMOX_CHROMIUM_SETTLE --settle-limit 60000)
endif()

foreach(script ${VELMOX_CHROMIUM_RUNS})
  file(RELATIVE_PATH name ${CMAKE_CURRENT_SOURCE_DIR}/scripts ${script})
  string(REGEX REPLACE "^chromium/" "" name ${name})
  add_test(NAME chromium/${name}
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/run-script $<TARGET_FILE:velmox> ${script} --browser chromium
            ${VELMOX_CHROMIUM_SETTLE})
endforeach()
