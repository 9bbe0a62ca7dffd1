; The Windows installer of Harlune, built by scripts/build-windows.sh with
; makensis from exactly the folder the portable zip holds.
;
; A plain script rather than CPack's NSIS generator: the installer is made
; from the packed folder (the programs, the MinGW DLLs that objdump found
; they need, the translations), which is not a CMake install tree of the
; cross build, and CPack's template would add pages and options (a PATH
; entry, a Start-menu folder choice) that a Windows user of Harlune does not
; need. Here every file, shortcut and registry value is in one place, and
; the uninstaller removes the same list.
;
; It is a 64-bit installer (amd64 stub): Harlune is a 64-bit program, a
; 64-bit installer writes to the real Program Files and the 64-bit registry
; without redirection, and it runs under a 64-bit Wine without 32-bit Wine.
;
; Defined on makensis's command line by build-windows.sh:
;   VERSION          the program's version, as in the Harlune build (1.0)
;   FILE_VERSION     the same in four numbers (1.0.0.0)
;   INSTALL_FILES    NSIS lines installing each packed file
;   UNINSTALL_FILES  NSIS lines removing each of them, and their folders
;   SIZE_KB          the installed size in KiB, for Apps and Features
;   ICON             packaging/harlune.ico
;   OUTFILE          the installer to write

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Harlune"
!define PUBLISHER "Harlune developers"
; The key's name is the product's, so a newer version replaces the entry.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define UNINSTALLER "uninstall.exe"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; Program Files and HKLM need an administrator.
RequestExecutionLevel admin
Icon "${ICON}"
UninstallIcon "${ICON}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "GPL-3.0-or-later"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "${PRODUCT}"
  ; The Start-menu entry is for every user of the machine, as Program Files is.
  SetShellVarContext all
  !include "${INSTALL_FILES}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ; The shortcut takes its icon from harlune.exe, which carries harlune.ico.
  CreateShortcut "${SHORTCUT}" "$INSTDIR\harlune.exe" "" "$INSTDIR\harlune.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\harlune.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "${SHORTCUT}"
  !include "${UNINSTALL_FILES}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only an empty folder goes: files the user put there stay.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
