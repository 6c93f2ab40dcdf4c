; The Windows installer of Plumage, built on Linux with makensis (Debian's
; nsis) by cmake/WindowsTargets.cmake, which defines:
;   VERSION        the program's version, "1.0.96"
;   VERSION4       the same with four numbers, "1.0.96.0"
;   PLUMAGE_EXE    plumage.exe of the build
;   PLUMAGECTL_EXE plumagectl.exe of the build
;   PLUMAGE_ICON   the program's icon
;   OUTFILE        the installer to write
;
; It installs for the user who runs it, without administrator rights; run
; elevated it installs for every user. /CURRENTUSER and /ALLUSERS on its
; command line choose for it. The verb key is written by plumagectl.exe
; install, the very code a by-hand install runs. The uninstaller removes
; what the installer added and nothing else: the icons a user made stay
; unless the uninstaller is asked to remove them (its page, or /REMOVEICONS).

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "MUI2.nsh"

!define PRODUCT "Plumage"
!define UNINSTALL_PARENT "Software\Microsoft\Windows\CurrentVersion\Uninstall"
!define UNINSTALL_KEY "${UNINSTALL_PARENT}\Plumage"
!define SETTINGS_LINK "Plumage settings.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PRODUCT}"

Var AllUsers      ; 1: for every user (HKLM, Program Files), 0: this user
Var RemoveIcons   ; uninstall: 1 removes the icons the user made too

!define MUI_ICON "${PLUMAGE_ICON}"
!define MUI_UNICON "${PLUMAGE_ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\plumage.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Open the Plumage settings"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "French"

; The scope from the command line, else from the rights this process has.
!macro ChooseScope
  StrCpy $AllUsers 0
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $AllUsers 1
  ${EndIf}
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/CURRENTUSER" $2
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
  ${EndIf}
  ClearErrors
  ${GetOptions} $1 "/ALLUSERS" $2
  ${IfNot} ${Errors}
    ${If} $0 != "Admin"
      MessageBox MB_ICONSTOP "Installing for every user needs an administrator: start this installer as one." /SD IDOK
      SetErrorLevel 5
      Quit
    ${EndIf}
    StrCpy $AllUsers 1
  ${EndIf}
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
!macroend

Function .onInit
  ; For every user the programs go to Program Files, unless /D= named a
  ; folder: compared while $LOCALAPPDATA is still the user's.
  StrCpy $R9 0
  ${If} $INSTDIR == "$LOCALAPPDATA\Programs\${PRODUCT}"
    StrCpy $R9 1
  ${EndIf}
  !insertmacro ChooseScope
  ${If} $AllUsers == 1
  ${AndIf} $R9 == 1
    StrCpy $INSTDIR "$PROGRAMFILES\${PRODUCT}"
  ${EndIf}
FunctionEnd

Section "Plumage" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=plumage.exe" "${PLUMAGE_EXE}"
  File "/oname=plumagectl.exe" "${PLUMAGECTL_EXE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The verb on folders (and the Icons folder beside the program), written
  ; by plumagectl for the scope chosen here.
  ${If} $AllUsers == 1
    nsExec::ExecToLog '"$INSTDIR\plumagectl.exe" install --all-users'
  ${Else}
    nsExec::ExecToLog '"$INSTDIR\plumagectl.exe" install --user'
  ${EndIf}
  Pop $0
  ${If} $0 != 0
    MessageBox MB_ICONSTOP "plumagectl install failed ($0): the verb on folders is not installed." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}

  ; plumage.exe started without a folder opens its settings.
  CreateShortcut "$SMPROGRAMS\${SETTINGS_LINK}" "$INSTDIR\plumage.exe" "" "$INSTDIR\plumage.exe" 0

  ; Apps & features. A user who never installed a program has no
  ; Uninstall key of their own: whether this made it is kept with the entry,
  ; so that the uninstaller takes it away again (while empty).
  StrCpy $3 0
  ClearErrors
  ${If} $AllUsers == 1
    EnumRegKey $2 HKLM "${UNINSTALL_PARENT}" 0
  ${Else}
    EnumRegKey $2 HKCU "${UNINSTALL_PARENT}" 0
  ${EndIf}
  ${If} ${Errors}
    StrCpy $3 1
  ${EndIf}
  ${If} $AllUsers == 1
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\plumage.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /ALLUSERS'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /ALLUSERS /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "ParentKeyCreated" $3
  ${Else}
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\plumage.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /CURRENTUSER'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /CURRENTUSER /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "ParentKeyCreated" $3
  ${EndIf}
SectionEnd

Function un.onInit
  !insertmacro ChooseScope
  StrCpy $RemoveIcons 0
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/REMOVEICONS" $2
  ${IfNot} ${Errors}
    StrCpy $RemoveIcons 1
  ${EndIf}
FunctionEnd

Section "un.Plumage" UnSecProgram
  SectionIn RO
  ; The verb key and everything the program stored under it.
  ${If} $AllUsers == 1
    nsExec::ExecToLog '"$INSTDIR\plumagectl.exe" uninstall --all-users'
  ${Else}
    nsExec::ExecToLog '"$INSTDIR\plumagectl.exe" uninstall --user'
  ${EndIf}
  Pop $0
  Delete "$SMPROGRAMS\${SETTINGS_LINK}"
  Delete "$INSTDIR\plumage.exe"
  Delete "$INSTDIR\plumagectl.exe"
  Delete "$INSTDIR\uninstall.exe"
  ${If} $AllUsers == 1
    ReadRegDWORD $3 HKLM "${UNINSTALL_KEY}" "ParentKeyCreated"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ${If} $3 == 1
      DeleteRegKey /ifempty HKLM "${UNINSTALL_PARENT}"
    ${EndIf}
  ${Else}
    ReadRegDWORD $3 HKCU "${UNINSTALL_KEY}" "ParentKeyCreated"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ${If} $3 == 1
      DeleteRegKey /ifempty HKCU "${UNINSTALL_PARENT}"
    ${EndIf}
  ${EndIf}
SectionEnd

; Folders given an icon of Plumage's making name a file in Icons: they keep
; it unless the user asks for it to go.
Section /o "un.The icons you made (folders that use them lose their icon)" UnSecIcons
  StrCpy $RemoveIcons 1
SectionEnd

Section "-un.Folders"
  ${If} $RemoveIcons == 1
    RMDir /r "$INSTDIR\Icons"
  ${Else}
    RMDir "$INSTDIR\Icons"
  ${EndIf}
  RMDir "$INSTDIR"
SectionEnd
