; Skyvigil's installer: per user, no administrator rights, into
; $LOCALAPPDATA\Programs\Skyvigil. make-dist.sh runs
;   makensis -DVERSION=<version> -DSTAGE=<folder of the zip's files> -DOUTFILE=<setup.exe>
; Silent: setup.exe /S [/AUTOSTART]; the uninstaller's /S keeps the user's files.

Unicode true
; A 32-bit installer installs nothing on a 64-bit-only system.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Skyvigil"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "Skyvigil ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Skyvigil"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Skyvigil ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_SMALLDESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start Skyvigil now"
!define MUI_FINISHPAGE_RUN_FUNCTION StartSkyvigil

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The running program holds its marker "running" without sharing, so it
; cannot be deleted while Skyvigil runs; a marker left by a crash can.
!macro RefuseWhileRunning
  ClearErrors
  Delete "$INSTDIR\running"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "Skyvigil is running. Exit Skyvigil, then try again." /SD IDOK
    Abort
  ${EndIf}
!macroend

Section "Skyvigil" SecProgram
  SectionIn RO
  SetShellVarContext current
  !insertmacro RefuseWhileRunning
  SetOutPath "$INSTDIR"
  File "${STAGE}\Skyvigil.exe"
  File "${STAGE}\updater.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  SetOutPath "$INSTDIR\snd"
  File "${STAGE}\snd\alert.wav"
  File "${STAGE}\snd\up.wav"
  File "${STAGE}\snd\down.wav"
  File "${STAGE}\snd\condition.wav"

  ; The shortcut's working folder is the output folder: Skyvigil keeps
  ; prefs.ini and cities.json in the folder it runs in.
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\Skyvigil.lnk" "$INSTDIR\Skyvigil.exe"

  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Skyvigil"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Skyvigil developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Skyvigil.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; A reinstall without the sign-in component drops an earlier entry.
  DeleteRegValue HKCU "${RUN_KEY}" "Skyvigil"
SectionEnd

; The value the program's own "Start at Login" switch writes and reads.
Section /o "Start Skyvigil when I sign in" SecSignIn
  WriteRegStr HKCU "${RUN_KEY}" "Skyvigil" '"$INSTDIR\Skyvigil.exe"'
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "Skyvigil, its sound cues and a Start menu shortcut."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecSignIn} "Start Skyvigil each time you sign in to Windows."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecSignIn}
  ${EndIf}
FunctionEnd

Function StartSkyvigil
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\Skyvigil.exe"'
FunctionEnd

Section "un.Skyvigil" UnSecProgram
  SectionIn RO
  SetShellVarContext current
  !insertmacro RefuseWhileRunning
  Delete "$INSTDIR\Skyvigil.exe"
  Delete "$INSTDIR\updater.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\snd\alert.wav"
  Delete "$INSTDIR\snd\up.wav"
  Delete "$INSTDIR\snd\down.wav"
  Delete "$INSTDIR\snd\condition.wav"
  RMDir "$INSTDIR\snd"
  ; What an update leaves: a downloaded archive, the folders of an update.
  Delete "$INSTDIR\Skyvigil.zip"
  Delete "$INSTDIR\Skyvigil.zip.minisig"
  Delete "$INSTDIR\update.journal"
  RMDir /r "$INSTDIR\update.new"
  RMDir /r "$INSTDIR\update.old"
  RMDir /r "$INSTDIR\update.run"
  Delete "$INSTDIR\uninstall.exe"

  Delete "$SMPROGRAMS\Skyvigil.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "Skyvigil"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; Off unless chosen, so a silent uninstall keeps them.
Section /o "un.My cities and settings" UnSecUserFiles
  Delete "$INSTDIR\cities.json"
  Delete "$INSTDIR\prefs.ini"
SectionEnd

Section "-un.Folder"
  ; Only when empty: the user's files keep it.
  RMDir "$INSTDIR"
SectionEnd

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecProgram} "Skyvigil, its sound cues, its shortcut and its sign-in entry."
  !insertmacro MUI_DESCRIPTION_TEXT ${UnSecUserFiles} "Your cities (cities.json) and settings (prefs.ini). Leave this off to keep them for a later installation."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END
