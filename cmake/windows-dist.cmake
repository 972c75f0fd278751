# Lays out the application folder: Velmox.exe with VelmoxStarter.exe, help\ and sounds\cork.wav
# beside it.
# Run as: cmake -DEXE=... -DSTARTER=... -DAPP=resources/app -DDEST=dist/Velmox -P windows-dist.cmake
file(REMOVE_RECURSE ${DEST})
file(MAKE_DIRECTORY ${DEST})
file(COPY ${EXE} ${STARTER} DESTINATION ${DEST})
foreach(part help sounds)
  if(EXISTS ${APP}/${part})
    file(COPY ${APP}/${part} DESTINATION ${DEST})
  else()
    message(WARNING "windows-dist: ${APP}/${part} is missing; dist/Velmox has no ${part} folder")
  endif()
endforeach()
