; The Windows installer: zintra.exe under Program Files, a Start menu entry and an uninstaller
; that Add/Remove Programs lists. makensis -DVERSION=1.0.0 -DPUBLISHER=... -DEXE=path/zintra.exe
; -DOUTFILE=path/zintra-1.0.0-setup.exe zintra.nsi (packaging/windows/CMakeLists.txt does this).
; /S installs and uninstalls silently; /D=folder, last on the command line, installs elsewhere.
!ifndef VERSION | PUBLISHER | EXE | OUTFILE
  !error "define VERSION, PUBLISHER, EXE and OUTFILE"
!endif

Unicode true
SetCompressor /SOLID lzma
Name "ZINTRA"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\ZINTRA"
; Program Files, HKLM and the Start menu of all users.
RequestExecutionLevel admin
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZINTRA"
; The "Copy with Zintra" verb the program registers for every file.
!define VERB_KEY "Software\Classes\*\shell\Zintra"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "ZINTRA"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "ZINTRA ${VERSION} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!define MUI_FINISHPAGE_RUN "$INSTDIR\zintra.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "ZINTRA"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "/oname=zintra.exe" "${EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\ZINTRA.lnk" "$INSTDIR\zintra.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "ZINTRA"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$\"$INSTDIR\zintra.exe$\""
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\ZINTRA.lnk"
  Delete "$INSTDIR\zintra.exe"
  Delete "$INSTDIR\uninstall.exe"
  ; Not /r: a folder the user chose may hold files of theirs.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${VERB_KEY}\command"
  DeleteRegKey /ifnosubkeys HKLM "${VERB_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
