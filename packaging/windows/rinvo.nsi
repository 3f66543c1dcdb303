; The per-user installer of the Windows program: installs into %LOCALAPPDATA%\Programs\Rinvo,
; where the rule file beside the program stays writable without administrator rights, with a
; Start-menu shortcut. The uninstaller removes the program and its shortcuts but keeps
; "copyrule.txt": the user's rules are their data.
; makensis -DVERSION=5.0 -DBUILD=<folder with rinvo.exe and rinvo.com> -DLICENSE=<LICENSE.txt>
;          -DOUT=<setup.exe>
Unicode true
Target amd64-unicode
!include "MUI2.nsh"

Name "Rinvo Ver5"
OutFile "${OUT}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Rinvo"
SetCompressor /SOLID lzma

!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Rinvo"

Section "Rinvo"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BUILD}\rinvo.exe"
  File "${BUILD}\rinvo.com"
  File "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Rinvo"
  CreateShortcut "$SMPROGRAMS\Rinvo\Rinvo.lnk" "$INSTDIR\rinvo.exe"
  CreateShortcut "$SMPROGRAMS\Rinvo\Rinvo のアンインストール.lnk" "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Rinvo Ver5"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\rinvo.exe"
  Delete "$INSTDIR\rinvo.com"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; The folder goes only when empty: a "copyrule.txt" keeps it.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Rinvo\Rinvo.lnk"
  Delete "$SMPROGRAMS\Rinvo\Rinvo のアンインストール.lnk"
  RMDir "$SMPROGRAMS\Rinvo"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
