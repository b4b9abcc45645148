# The command that packs one build into <out_dir>: Skyvigil-<version>-win64.zip
# (the portable program, the same archive the update check downloads as
# Skyvigil.zip) and Skyvigil-<version>-setup.exe. `program` is the target
# shipped as Skyvigil.exe; `strip` the strip tool, or "" to ship it as built.
function(skyvigil_dist_command out_dir program strip)
  set(here ${PROJECT_SOURCE_DIR}/packaging/windows)
  set(cues)
  foreach(cue alert up down condition)
    list(APPEND cues ${PROJECT_SOURCE_DIR}/snd/${cue}.wav)
  endforeach()
  add_custom_command(
    OUTPUT ${out_dir}/Skyvigil-${PROJECT_VERSION}-win64.zip
           ${out_dir}/Skyvigil-${PROJECT_VERSION}-setup.exe
    COMMAND bash ${here}/make-dist.sh ${PROJECT_VERSION} $<TARGET_FILE:${program}>
            $<TARGET_FILE:updater> ${out_dir} ${strip}
    DEPENDS ${here}/make-dist.sh ${here}/skyvigil.nsi ${here}/README.txt
            ${PROJECT_SOURCE_DIR}/LICENSE ${cues} ${program} updater
    VERBATIM)
endfunction()
