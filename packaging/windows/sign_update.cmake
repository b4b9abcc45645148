# Run by CPack after each package: signs the zip for updates with minisign,
# into <zip>.minisig, whose trusted comment names the file as the program
# downloads it and the build, which the updater must find newer than its own.
# The key: the release key that SKYVIGIL_SIGNING_KEY names, whose password
# minisign reads from the file SKYVIGIL_SIGNING_PASSWORD_FILE names or asks
# for on the terminal; or CPACK_SKYVIGIL_SIGNING_KEY when set (the tests'
# key, which has none). Without a key the packages are for local use only,
# and this says so.
if(DEFINED CPACK_SKYVIGIL_SIGNING_KEY)
  set(key "${CPACK_SKYVIGIL_SIGNING_KEY}")
  set(password)
else()
  set(key "$ENV{SKYVIGIL_SIGNING_KEY}")
  if(NOT "$ENV{SKYVIGIL_SIGNING_PASSWORD_FILE}" STREQUAL "")
    set(password INPUT_FILE "$ENV{SKYVIGIL_SIGNING_PASSWORD_FILE}" OUTPUT_QUIET)
  else()
    set(password INPUT_FILE /dev/tty)
  endif()
endif()

# The packages are still in CPack's own folder; the signature goes where
# they are copied to.
foreach(package ${CPACK_PACKAGE_FILES})
  if(NOT package MATCHES "\\.zip$")
    continue()
  endif()
  cmake_path(GET package FILENAME name)
  set(signature ${CPACK_PACKAGE_DIRECTORY}/${name}.minisig)
  file(REMOVE ${signature})
  if(key STREQUAL "")
    message(STATUS "${name}: not signed, for local use only (a release is signed: "
                   "set SKYVIGIL_SIGNING_KEY to the release key)")
    continue()
  endif()
  execute_process(COMMAND minisign -S -s ${key} -m ${package} -x ${signature}
                          -t "file:Skyvigil.zip build:${CPACK_SKYVIGIL_BUILD}"
                  ${password} COMMAND_ERROR_IS_FATAL ANY)
  message(STATUS "${name}: signed for build ${CPACK_SKYVIGIL_BUILD} (${signature})")
endforeach()
