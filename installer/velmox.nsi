; Velmox's setup program: installs Velmox for the current user, with no administrator rights.
; makensis -DDIST=<dist/Velmox folder> -DOUTFILE=<setup program> -DVERSION=<x.y> velmox.nsi
; Velmox.exe is a 64-bit program, and so is its setup program (Wine here runs 64-bit only).
Target amd64-unicode
SetCompressor /SOLID lzma

!ifndef DIST
  !error "DIST must name the folder laid out by 'make windows' (dist/Velmox)"
!endif
!ifndef OUTFILE
  !define OUTFILE "VelmoxSetup.exe"
!endif
!ifndef VERSION
  !define VERSION "1.2"
!endif

!define PRODUCT "Velmox"
!define MENUEXT "Software\Microsoft\Internet Explorer\MenuExt"
!define DISALLOW "Disallow pop-ups for this site"
!define ALLOW "Allow pop-ups for this site"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define SETTINGS_KEY "Software\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define STARTER_VALUE "Velmox Starter"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
Icon "${__FILEDIR__}/../resources/icons/on.ico"
UninstallIcon "${__FILEDIR__}/../resources/icons/off.ico"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Velmox holds its files while it runs; it is closed from its own menu in the notification area.
!macro WaitUntilVelmoxIsClosed
  check_running:
    FindWindow $0 "Velmox.Tray"
    StrCmp $0 0 not_running
    MessageBox MB_OKCANCEL|MB_ICONEXCLAMATION "Velmox is running. Close it with the $\"Close Velmox$\" command of its light-bulb menu in the notification area, then click OK." /SD IDCANCEL IDOK check_running
    Abort
  not_running:
!macroend

; The starter behind "Run Velmox whenever Internet Explorer runs" has no window: its /stop ends
; the running one and waits until it has let go of its files.
!macro StopStarter
  IfFileExists "$INSTDIR\VelmoxStarter.exe" 0 +2
    ExecWait '"$INSTDIR\VelmoxStarter.exe" /stop'
!macroend

Section "Velmox"
  !insertmacro WaitUntilVelmoxIsClosed
  !insertmacro StopStarter
  SetOutPath "$INSTDIR"
  File "${DIST}/Velmox.exe"
  File "${DIST}/VelmoxStarter.exe"
  File /nonfatal /r "${DIST}/help"
  File /nonfatal /r "${DIST}/sounds"

  ; The browser's context-menu entries run the scripts that Velmox writes beside itself.
  WriteRegStr HKCU "${MENUEXT}\${DISALLOW}" "" "$INSTDIR\blocksite.script"
  WriteRegDWORD HKCU "${MENUEXT}\${DISALLOW}" "Contexts" 1
  WriteRegStr HKCU "${MENUEXT}\${ALLOW}" "" "$INSTDIR\trustsite.script"
  WriteRegDWORD HKCU "${MENUEXT}\${ALLOW}" "Contexts" 1

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Velmox.exe"

  ; The starter runs at every logon of this user, and from now on, so that the box works without
  ; logging on again.
  WriteRegStr HKCU "${RUN_KEY}" "${STARTER_VALUE}" '"$INSTDIR\VelmoxStarter.exe"'
  Exec '"$INSTDIR\VelmoxStarter.exe"'

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Velmox.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\Uninstall.exe$\""
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  !insertmacro WaitUntilVelmoxIsClosed
  !insertmacro StopStarter
  DeleteRegValue HKCU "${RUN_KEY}" "${STARTER_VALUE}"
  Delete "$INSTDIR\VelmoxStarter.exe"
  Delete "$INSTDIR\Velmox.exe"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /r "$INSTDIR\help"
  Delete "$INSTDIR\sounds\cork.wav"
  RMDir "$INSTDIR\sounds"

  ; The files Velmox wrote itself: the scripts under either name and the two command pages,
  ; whose names carry the installation's token.
  Delete "$INSTDIR\blocksite.script"
  Delete "$INSTDIR\blocksite.script2"
  Delete "$INSTDIR\trustsite.script"
  Delete "$INSTDIR\trustsite.script2"
  Delete "$INSTDIR\servers.lst.new"
  ; Only a token as Velmox writes it, ten digits, names a page: any other stored value could name
  ; a path. Each half must read back as the same number ("1" first, so no leading zero).
  ReadRegStr $0 HKCU "${SETTINGS_KEY}\Data" "URLPrefix"
  StrLen $1 $0
  IntCmp $1 10 0 pages_done pages_done
  StrCpy $2 $0 5
  IntOp $3 "1$2" + 0
  StrCmp $3 "1$2" 0 pages_done
  StrCpy $2 $0 5 5
  IntOp $3 "1$2" + 0
  StrCmp $3 "1$2" 0 pages_done
    Delete "$INSTDIR\b$0.html"
    Delete "$INSTDIR\t$0.html"
  pages_done:

  DeleteRegKey HKCU "${MENUEXT}\${DISALLOW}"
  DeleteRegKey HKCU "${MENUEXT}\${ALLOW}"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  ; The user's list of websites and settings stay unless the user asks otherwise.
  MessageBox MB_YESNO|MB_DEFBUTTON2|MB_ICONQUESTION "Also remove your list of websites and your Velmox settings?" /SD IDNO IDNO keep_user_data
    Delete "$INSTDIR\servers.lst"
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  keep_user_data:
  RMDir "$INSTDIR"
SectionEnd
