# The command that packs one build into <out_dir>: Skyvigil-<version>-win64.zip
# (the portable program, the same archive the update check downloads as
# Skyvigil.zip) and Skyvigil-<version>-setup.exe. `program` is the target
# shipped as Skyvigil.exe; `strip` the strip tool, or "" to ship it as built.
# `signing_key`: the minisign secret key the zip is signed with for updates
# (<zip>.minisig, for build `build`), or "" for none; the signature must pass
# the prehashed check with a key the build trusts (SKYVIGIL_TRUSTED_KEY_FILES).
function(skyvigil_dist_command out_dir program strip signing_key build)
  set(here ${PROJECT_SOURCE_DIR}/packaging/windows)
  set(cues)
  foreach(cue alert up down condition)
    list(APPEND cues ${PROJECT_SOURCE_DIR}/snd/${cue}.wav)
  endforeach()
  add_custom_command(
    OUTPUT ${out_dir}/Skyvigil-${PROJECT_VERSION}-win64.zip
           ${out_dir}/Skyvigil-${PROJECT_VERSION}-setup.exe
    COMMAND ${CMAKE_COMMAND} -E env SKYVIGIL_SIGNING_KEY=${signing_key} SKYVIGIL_BUILD=${build}
            "SKYVIGIL_TRUSTED_KEYS=${SKYVIGIL_TRUSTED_KEY_FILES}"
            bash ${here}/make-dist.sh ${PROJECT_VERSION} $<TARGET_FILE:${program}>
            $<TARGET_FILE:updater> ${out_dir} ${strip}
    DEPENDS ${here}/make-dist.sh ${here}/skyvigil.nsi ${here}/README.txt
            ${PROJECT_SOURCE_DIR}/LICENSE ${cues} ${program} updater
    VERBATIM USES_TERMINAL)
endfunction()
