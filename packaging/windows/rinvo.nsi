; The per-user installer of the Windows program: installs into %LOCALAPPDATA%\Programs\Rinvo,
; where the rule file beside the program stays writable without administrator rights, with a
; Start-menu shortcut. The uninstaller removes the program and its shortcuts but keeps
; "copyrule.txt": the user's rules are their data.
; makensis -DVERSION=5.0 -DBUILD=<folder with rinvo.exe and rinvo.com> -DLICENSE=<LICENSE.txt>
;          -DREADME=<readme.txt> -DOUT=<setup.exe>
Unicode true
Target amd64-unicode
!include "MUI2.nsh"
!include "FileFunc.nsh"

Name "Rinvo Ver5"
; The footer names the program, not the tool that made the installer.
BrandingText "Rinvo Ver5 ${VERSION}"
OutFile "${OUT}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Rinvo"
SetCompressor /SOLID lzma

; What the uninstaller's last page says: whether the user's rules and their folder were kept.
Var KeptNote

!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "Rinvo のアンインストールが完了しました"
!define MUI_FINISHPAGE_TEXT "$KeptNote"
!insertmacro MUI_UNPAGE_FINISH
!insertmacro MUI_LANGUAGE "Japanese"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Rinvo"

Section "Rinvo"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BUILD}\rinvo.exe"
  File "${BUILD}\rinvo.com"
  File "${LICENSE}"
  File "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Rinvo"
  CreateShortcut "$SMPROGRAMS\Rinvo\Rinvo.lnk" "$INSTDIR\rinvo.exe"
  CreateShortcut "$SMPROGRAMS\Rinvo\Rinvo の説明.lnk" "$INSTDIR\readme.txt"
  CreateShortcut "$SMPROGRAMS\Rinvo\Rinvo のアンインストール.lnk" "$INSTDIR\uninstall.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Rinvo Ver5"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Rinvo developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\rinvo.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  ; Apps & features shows the size in KiB.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
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
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; The folder goes only when empty: a "copyrule.txt" keeps it, and the last page says where.
  RMDir "$INSTDIR"
  StrCpy $KeptNote "Rinvo をこのコンピュータから削除しました。"
  IfFileExists "$INSTDIR\*.*" 0 +2
    StrCpy $KeptNote "Rinvo をこのコンピュータから削除しました。$\r$\n$\r$\nコピーの設定ファイル「copyrule.txt」など、プログラムのフォルダに残っていたファイルは、あなたのデータなので削除していません。フォルダは次の場所に残っています。不要なら手で削除してください。$\r$\n$\r$\n$INSTDIR"
  ; The run logs and the destination indexes are the user's too, and stay where they are.
  StrCpy $KeptNote "$KeptNote$\r$\n$\r$\nコピーの記録 (ログ) は $LOCALAPPDATA\Rinvo に残っています。"
  Delete "$SMPROGRAMS\Rinvo\Rinvo.lnk"
  Delete "$SMPROGRAMS\Rinvo\Rinvo の説明.lnk"
  Delete "$SMPROGRAMS\Rinvo\Rinvo のアンインストール.lnk"
  RMDir "$SMPROGRAMS\Rinvo"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
