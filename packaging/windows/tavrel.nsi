; The Windows installer of Tavrel, made by scripts/windows.sh with Debian's NSIS:
;   makensis -DVERSION=2.10 -DROOT=<the program folder> -DOUTFILE=<setup.exe> tavrel.nsi
; Installs 芝加哥雨型 into Program Files with its Start-menu entry and an uninstaller that
; Windows' Apps list knows; /S installs and uninstalls silently.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin

!define PRODUCT "芝加哥雨型"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrel"

Name "Tavrel ${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
Icon "${ROOT}\..\tavrel.ico"
UninstallIcon "${ROOT}\..\tavrel.ico"
BrandingText "Tavrel ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=2052 "ProductName" "Tavrel ${PRODUCT}"
VIAddVersionKey /LANG=2052 "CompanyName" "Orvanta"
VIAddVersionKey /LANG=2052 "FileDescription" "Tavrel ${PRODUCT} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"

!include "MUI2.nsh"
!define MUI_ICON "${ROOT}\..\tavrel.ico"
!define MUI_UNICON "${ROOT}\..\tavrel.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Tavrel"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${ROOT}\*.*"
  WriteUninstaller "$INSTDIR\卸载.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\tavrel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Tavrel ${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Orvanta"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tavrel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\卸载.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\卸载.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ; Only what the installer put there; a user's own files in the folder stay.
  !include "${FILELIST}"
  Delete "$INSTDIR\卸载.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
