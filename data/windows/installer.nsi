; The Windows installer: the zip's files into Program Files, a Start-menu entry, .sdt banks
; opening in Orvane, and an uninstaller that takes away every file and key it added.
;   makensis -DVERSION=1.0.1 -DFILES=<the zip's folder> -DREMOVE=<remove.nsh> -DOUTFILE=<setup.exe>
;            installer.nsi
; remove.nsh deletes each of those files and then their folders, so that an install into a
; folder that holds other files takes away only its own.
; /S installs (and uninstalls) silently.
; A 64-bit installer: the programs are 64-bit, and a 64-bit Windows may lack 32-bit support.
Target amd64-unicode
SetCompressor /SOLID lzma
!include "FileFunc.nsh"

!define APP "Orvane"
!define PROG_ID "Orvane.Bank"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${APP}"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Install"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${FILES}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Export writes into "output" beside where Orvane starts: from the Start menu, that is the
  ; shared documents folder, which every user may write.
  SetOutPath "$DOCUMENTS"
  CreateDirectory "$SMPROGRAMS\${APP}"
  CreateShortCut "$SMPROGRAMS\${APP}\${APP}.lnk" "$INSTDIR\orvane.exe"
  CreateShortCut "$SMPROGRAMS\${APP}\Uninstall ${APP}.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "Software\Classes\.sdt" "" "${PROG_ID}"
  WriteRegStr HKLM "Software\Classes\${PROG_ID}" "" "${APP} sound bank"
  WriteRegStr HKLM "Software\Classes\${PROG_ID}\DefaultIcon" "" '"$INSTDIR\orvane.exe",0'
  WriteRegStr HKLM "Software\Classes\${PROG_ID}\shell\open\command" "" '"$INSTDIR\orvane.exe" "%1"'

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${APP}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\orvane.exe",0'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ; Explorer shows the new file type's icon at once.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  RMDir /r "$SMPROGRAMS\${APP}"
  ; Only a .sdt association that is still ours: another program may have taken it since.
  ReadRegStr $0 HKLM "Software\Classes\.sdt" ""
  StrCmp $0 "${PROG_ID}" 0 +2
    DeleteRegKey HKLM "Software\Classes\.sdt"
  DeleteRegKey HKLM "Software\Classes\${PROG_ID}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  !include "${REMOVE}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
