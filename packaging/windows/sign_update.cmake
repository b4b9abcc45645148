# Run by CPack after each package: signs the zip for updates with minisign,
# into <zip>.minisig, whose trusted comment names the file as the program
# downloads it and the build, which the updater must find newer than its own.
# The key: CPACK_SKYVIGIL_SIGNING_KEY when set (the tests' packages), else the
# release key that SKYVIGIL_SIGNING_KEY names; minisign asks for its password,
# or reads it from the file SKYVIGIL_SIGNING_PASSWORD_FILE names. Without a
# key the packages are for local use only, and this says so.
if(DEFINED CPACK_SKYVIGIL_SIGNING_KEY)
  set(key "${CPACK_SKYVIGIL_SIGNING_KEY}")
else()
  set(key "$ENV{SKYVIGIL_SIGNING_KEY}")
endif()

foreach(package ${CPACK_PACKAGE_FILES})
  if(NOT package MATCHES "\\.zip$")
    continue()
  endif()
  file(REMOVE ${package}.minisig)
  if(key STREQUAL "")
    message(STATUS "${package}: not signed, for local use only (a release is signed: "
                   "set SKYVIGIL_SIGNING_KEY to the release key)")
    continue()
  endif()
  set(password)
  if(NOT "$ENV{SKYVIGIL_SIGNING_PASSWORD_FILE}" STREQUAL "")
    set(password INPUT_FILE "$ENV{SKYVIGIL_SIGNING_PASSWORD_FILE}" OUTPUT_QUIET)
  endif()
  execute_process(COMMAND minisign -S -s ${key} -m ${package} -x ${package}.minisig
                          -t "file:Skyvigil.zip build:${CPACK_SKYVIGIL_BUILD}"
                  ${password} COMMAND_ERROR_IS_FATAL ANY)
  message(STATUS "${package}: signed for build ${CPACK_SKYVIGIL_BUILD}")
endforeach()
