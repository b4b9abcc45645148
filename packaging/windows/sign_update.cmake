# Run by CPack after each package: signs the zip for updates with minisign,
# into <zip>.minisig, whose trusted comment names the file as the program
# downloads it and the build, which the updater must find newer than its own.
# The key: the release key that SKYVIGIL_SIGNING_KEY names, whose password
# minisign reads from the file SKYVIGIL_SIGNING_PASSWORD_FILE names or asks
# for on the terminal; or CPACK_SKYVIGIL_SIGNING_KEY when set (the tests'
# key, which has none). Without a key the packages are for local use only,
# and this says so.
# The signature is then checked as every client checks it: prehashed (-H), by
# one of the keys the build trusts (CPACK_SKYVIGIL_TRUSTED_KEY_FILES). A
# signature in minisign's legacy form, which older versions make, or by
# another key fails the packing and leaves no zip behind.
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
  set(trusted FALSE)
  foreach(public_key ${CPACK_SKYVIGIL_TRUSTED_KEY_FILES})
    execute_process(COMMAND minisign -V -H -q -p ${public_key} -m ${package} -x ${signature}
                    RESULT_VARIABLE failed OUTPUT_QUIET ERROR_QUIET)
    if(NOT failed)
      set(trusted TRUE)
      break()
    endif()
  endforeach()
  if(NOT trusted)
    file(REMOVE ${package} ${signature} ${CPACK_PACKAGE_DIRECTORY}/${name})
    message(FATAL_ERROR "${name}: the signature is not a prehashed one by a key this build "
                        "trusts, which every client refuses: check minisign's version and "
                        "the signing key")
  endif()
  message(STATUS "${name}: signed for build ${CPACK_SKYVIGIL_BUILD} (${signature})")
endforeach()
