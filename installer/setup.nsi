; setup.nsi: the suite's installer and uninstaller.
;   makensis -DVERSION=<x.y> -DPLUG=<ch_plug.dll> -DWIZARD=<VAConfigWizard.exe>
;            -DICON=<.ico> -DOUTFILE=<setup.exe> [-DWIN64] setup.nsi
; WIN64 makes a 64-bit installer of a 64-bit build (the test bench of machines that
; run only 64-bit programs), with the registry's 64-bit view; without it the
; installer is a 32-bit program like the deliverables and uses the 32-bit view,
; the one the 32-bit client and module read.
;
; Silent use:  setup.exe /S [/D=<client folder>]        (the folder comes last, unquoted)
;              VAExtensions-uninstall.exe /S [/REMOVESETTINGS]
; Exit codes: 0 done, 1 cancelled by the user, 2 stopped by a failure (the message
; goes to a message box, or in silent mode to the standard error stream).

Unicode true
!ifdef WIN64
  Target amd64-unicode
!endif
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "VA Extensions for Vexlo Aero V++"
!define PUBLISHER "VA Extensions team"
!define CLIENT "Vexlo Aero V++"
; The client's main window class, as the wizard finds it.
!define CLIENT_CLASS "VeXlO"
!define CLIENT_KEY "SOFTWARE\Vexlo\v-aero"
!define SETTINGS_KEY "SOFTWARE\VAExtensions"
!define ADDON_KEY "SOFTWARE\VAExtensions\ch_plugs"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VAExtensions"
!define UNINSTALLER "VAExtensions-uninstall.exe"
!define MENU_FOLDER "$SMPROGRAMS\VA Extensions"
!define MENU_ENTRY "${MENU_FOLDER}\VA Extensions configuration wizard.lnk"

Name "VA Extensions ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show
BrandingText "VA Extensions ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "VA Extensions setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "Installs ${PRODUCT}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION} into the folder of ${CLIENT}: the add-on ch_plug.dll and the configuration wizard.$\r$\n$\r$\nAn add-on of another maker already installed as ch_plug.dll is kept and keeps working: VA Extensions loads it and passes every call on to it.$\r$\n$\r$\nPlease close ${CLIENT} before you continue."
!insertmacro MUI_PAGE_WELCOME
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup installs into the program folder of ${CLIENT} (the folder of its executable), where the client loads ch_plug.dll from."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Folder of ${CLIENT}"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE FolderLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\VAConfigWizard.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Run the configuration wizard now"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "Your settings stay unless you tick the box."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The add-ons chained so far are recorded under UNINSTALL_KEY as Chained1, Chained2..
; (file names in the client folder, oldest first); each is listed under ADDON_KEY by
; its path, under whatever DllN name the options dialog last gave it.
Var ChainedFile     ; the foreign add-on's new name, empty when none was chained
Var ChainedValue    ; its DllN value under ADDON_KEY
Var ChainedRecord   ; its ChainedK value under UNINSTALL_KEY
Var PlacedPlug      ; 1 once our ch_plug.dll stands under its final name
Var PlacedWizard
Var PlacedUninstaller
Var AddOnKeyCreated ; 1 when this installation created ADDON_KEY (or SETTINGS_KEY)
Var SettingsKeyCreated
Var Upgrade         ; 1 when an installation of ours is there already

; ---- shared by the installer and the uninstaller ----
!macro SharedFunctions un
; Fail <message on the stack>: shows the message (in silent mode: writes it to the
; standard error stream) and ends with exit code 2. Callers undo their changes first.
Function ${un}Fail
  Exch $0
  DetailPrint "$0"
  System::Call 'kernel32::GetStdHandle(i -12) p .r1'
  ${If} $1 == 0
  ${OrIf} $1 == -1
    System::Call 'kernel32::AttachConsole(i -1) i .r2'
    System::Call 'kernel32::GetStdHandle(i -12) p .r1'
  ${EndIf}
  ${If} $1 != 0
  ${AndIf} $1 != -1
    StrCpy $2 "setup: $0$\r$\n"
    StrLen $3 $2
    System::Call 'kernel32::WriteFile(p r1, m r2, i r3, *i .r4, p 0)'
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP "$0" /SD IDOK
  SetErrorLevel 2
  Quit
FunctionEnd

; Waits until the client's main window is gone. Asks the user to close it (Retry
; waits up to ten seconds for it to end); silent runs and Cancel fail.
Function ${un}WaitForClosedClient
  Push $0
  Push $1
  ${Do}
    FindWindow $0 "${CLIENT_CLASS}"
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    ${If} ${Silent}
      Push "${CLIENT} is running. Close it and run this again."
      Call ${un}Fail
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${CLIENT} is running. Please close it, then click Retry." IDRETRY retry
    Push "${CLIENT} is still running: nothing was changed."
    Call ${un}Fail
  retry:
    ${For} $1 1 40
      FindWindow $0 "${CLIENT_CLASS}"
      ${IfThen} $0 == 0 ${|} ${Break} ${|}
      Sleep 250
    ${Next}
  ${Loop}
  Pop $1
  Pop $0
FunctionEnd

Function ${un}UseRegistryView
  !ifdef WIN64
    SetRegView 64
  !endif
  SetShellVarContext all
FunctionEnd

; Pushes 1 when the file at the path on the stack carries this suite's product name
; in its version resource, else 0.
Function ${un}IsOurAddOn
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $4 0
  System::Call 'version::GetFileVersionInfoSizeW(w r0, p 0) i .r1'
  ${If} $1 > 0
    System::Alloc $1
    Pop $2
    System::Call 'version::GetFileVersionInfoW(w r0, i 0, i r1, p r2) i .r3'
    ${If} $3 <> 0
      System::Call 'version::VerQueryValueW(p r2, w "\StringFileInfo\040904b0\ProductName", *p .r3, *i .r1) i .r0'
      ${If} $0 <> 0
        System::Call '*$3(&w128 .r1)'
        ${IfThen} $1 == "${PRODUCT}" ${|} StrCpy $4 1 ${|}
      ${EndIf}
    ${EndIf}
    System::Free $2
  ${EndIf}
  StrCpy $0 $4
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Pushes the name of the value under ADDON_KEY that lists the path on the stack, or
; "" when none does. Paths compare without regard to case or surrounding quotes, as
; the module and the options dialog treat them.
Function ${un}FindListing
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  StrCpy $4 ""
  StrCpy $1 0
  ${Do}
    ClearErrors
    EnumRegValue $2 HKLM "${ADDON_KEY}" $1
    ${If} ${Errors}
    ${OrIf} $2 == ""
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
    ReadRegStr $3 HKLM "${ADDON_KEY}" $2
    ${If} $3 != ""
      StrCpy $5 $3 1
      ${IfThen} $5 == '"' ${|} StrCpy $3 $3 "" 1 ${|}
      StrCpy $5 $3 "" -1
      ${IfThen} $5 == '"' ${|} StrCpy $3 $3 -1 ${|}
    ${EndIf}
    ${If} $3 == $0
      StrCpy $4 $2
      ${Break}
    ${EndIf}
  ${Loop}
  ClearErrors
  StrCpy $0 $4
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; Removes every listing of the path on the stack from ADDON_KEY.
Function ${un}DropListing
  Exch $0
  Push $1
  ${Do}
    Push $0
    Call ${un}FindListing
    Pop $1
    ${IfThen} $1 == "" ${|} ${Break} ${|}
    DeleteRegValue HKLM "${ADDON_KEY}" $1
  ${Loop}
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."


; Pushes 1 when the registry key on the stack exists under HKLM, else 0.
Function KeyExists
  Exch $0
  Push $1
  ClearErrors
  EnumRegValue $1 HKLM $0 0
  Pop $1
  ${If} ${Errors}
    StrCpy $0 0
  ${Else}
    StrCpy $0 1
  ${EndIf}
  Exch $0
FunctionEnd

; Place <name> <flag variable>: the unpacked <name>.va-new takes the place of <name>;
; an older <name> waits as <name>.va-old until the install has succeeded.
!macro Place name flag
  ${If} ${FileExists} "$INSTDIR\${name}"
    ClearErrors
    Rename "$INSTDIR\${name}" "$INSTDIR\${name}.va-old"
    ${If} ${Errors}
      Push "$INSTDIR\${name} is in use or cannot be replaced: nothing was changed."
      Call UndoAndFail
    ${EndIf}
  ${EndIf}
  ClearErrors
  Rename "$INSTDIR\${name}.va-new" "$INSTDIR\${name}"
  ${If} ${Errors}
    Push "$INSTDIR\${name} cannot be written: nothing was changed."
    Call UndoAndFail
  ${EndIf}
  StrCpy ${flag} 1
!macroend

!macro UndoPlace name flag
  Delete "$INSTDIR\${name}.va-new"
  ${If} ${flag} == 1
    Delete "$INSTDIR\${name}"
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\${name}.va-old"
  ${AndIfNot} ${FileExists} "$INSTDIR\${name}"
    Rename "$INSTDIR\${name}.va-old" "$INSTDIR\${name}"
  ${EndIf}
!macroend

; Puts back what the install section changed so far, newest first, and fails with
; the message on the stack.
Function UndoAndFail
  ${IfThen} $Upgrade != 1 ${|} DeleteRegKey HKLM "${UNINSTALL_KEY}" ${|}
  ${If} $ChainedValue != ""
    DeleteRegValue HKLM "${ADDON_KEY}" $ChainedValue
    DeleteRegValue HKLM "${UNINSTALL_KEY}" $ChainedRecord
  ${EndIf}
  ${IfThen} $AddOnKeyCreated == 1 ${|} DeleteRegKey /ifempty HKLM "${ADDON_KEY}" ${|}
  ${IfThen} $SettingsKeyCreated == 1 ${|} DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}" ${|}
  Delete "${MENU_ENTRY}"
  RMDir "${MENU_FOLDER}"
  !insertmacro UndoPlace ${UNINSTALLER} $PlacedUninstaller
  !insertmacro UndoPlace VAConfigWizard.exe $PlacedWizard
  !insertmacro UndoPlace ch_plug.dll $PlacedPlug
  ${If} $ChainedFile != ""
  ${AndIfNot} ${FileExists} "$INSTDIR\ch_plug.dll"
    Rename "$INSTDIR\$ChainedFile" "$INSTDIR\ch_plug.dll"
  ${EndIf}
  Call Fail
FunctionEnd

Function .onInit
  Call UseRegistryView
  ; /D= has set $INSTDIR already; otherwise the client's own record says where it is.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "${CLIENT_KEY}" "InstallDir"
  ${EndIf}
  ${If} $INSTDIR == ""
  ${AndIf} ${Silent}
    Push "The folder of ${CLIENT} is not known (no InstallDir under HKEY_LOCAL_MACHINE\${CLIENT_KEY}): run setup with /D=<folder of ${CLIENT}>."
    Call Fail
  ${EndIf}
FunctionEnd

; The directory page accepts only an existing folder.
Function .onVerifyInstDir
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    Abort
  ${EndIf}
FunctionEnd

; Leaving the folder page: another maker's add-on in the chosen folder is chained
; only when the user agrees; No returns to the folder page.
Function FolderLeave
  ${If} ${FileExists} "$INSTDIR\ch_plug.dll"
    Push "$INSTDIR\ch_plug.dll"
    Call IsOurAddOn
    Pop $0
    ${If} $0 == 0
      MessageBox MB_YESNO|MB_ICONQUESTION "$INSTDIR\ch_plug.dll is an add-on of another maker.$\r$\n$\r$\nSetup keeps it under a new name, and VA Extensions loads it and passes every call on to it, so it keeps working. Uninstalling VA Extensions puts it back as ch_plug.dll.$\r$\n$\r$\nContinue? (No: choose another folder)" IDYES keep
      Abort
    keep:
    ${EndIf}
  ${EndIf}
FunctionEnd

; Drops the records of chained add-ons whose files are gone (deleted by hand or by
; their maker's uninstaller) with their listings; the others close up as
; Chained1, Chained2.. in their order.
Function DropGoneRecords
  Push $0
  Push $1
  Push $2
  StrCpy $0 1
  StrCpy $1 1
  ${Do}
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "Chained$0"
    ${IfThen} $2 == "" ${|} ${Break} ${|}
    ${If} ${FileExists} "$INSTDIR\$2"
      ${If} $0 != $1
        WriteRegStr HKLM "${UNINSTALL_KEY}" "Chained$1" $2
        DeleteRegValue HKLM "${UNINSTALL_KEY}" "Chained$0"
      ${EndIf}
      IntOp $1 $1 + 1
    ${Else}
      DeleteRegValue HKLM "${UNINSTALL_KEY}" "Chained$0"
      Push "$INSTDIR\$2"
      Call DropListing
      DetailPrint "The chained add-on $2 is no longer there: removed from the list"
    ${EndIf}
    IntOp $0 $0 + 1
  ${Loop}
  ClearErrors
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Section "-Install"
  StrCpy $ChainedFile ""
  StrCpy $ChainedValue ""
  StrCpy $ChainedRecord ""
  ; Every check comes before the first change.
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    Push "The folder $INSTDIR does not exist: nothing was changed."
    Call Fail
  ${EndIf}
  Call WaitForClosedClient
  ClearErrors
  FileOpen $0 "$INSTDIR\ch_plug.va-probe" w
  ${If} ${Errors}
    Push "Setup cannot write into $INSTDIR (no write access): nothing was changed."
    Call Fail
  ${EndIf}
  FileClose $0
  Delete "$INSTDIR\ch_plug.va-probe"

  ; An add-on of another maker under our name is renamed and chained; our own is
  ; upgraded in place.
  ${If} ${FileExists} "$INSTDIR\ch_plug.dll"
    Push "$INSTDIR\ch_plug.dll"
    Call IsOurAddOn
    Pop $0
    ${If} $0 == 0
      ${For} $1 1 8
        ClearErrors
        ReadRegStr $2 HKLM "${ADDON_KEY}" "Dll$1"
        ${If} ${Errors}
          StrCpy $ChainedValue "Dll$1"
          ${Break}
        ${EndIf}
      ${Next}
      ${If} $ChainedValue == ""
        Push "Eight add-ons are listed already under HKEY_LOCAL_MACHINE\${ADDON_KEY}, so the add-on now installed as ch_plug.dll cannot be kept. Remove one on the Add-on files page of the VA Extensions options, then run setup again: nothing was changed."
        Call Fail
      ${EndIf}
      ; The first free name whose path is not listed already: a listing can outlive
      ; its file, and a path listed twice would get every call twice.
      StrCpy $1 0
      ${Do}
        IntOp $1 $1 + 1
        StrCpy $ChainedFile "ch_plug_chained$1.dll"
        StrCpy $2 taken
        ${IfNot} ${FileExists} "$INSTDIR\$ChainedFile"
          Push "$INSTDIR\$ChainedFile"
          Call FindListing
          Pop $2
        ${EndIf}
      ${LoopUntil} $2 == ""
      ; Its record comes after those of the add-ons chained before (an earlier setup
      ; kept only one, as ChainedFile, which becomes the first).
      StrCpy $1 1
      ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "ChainedFile"
      ${IfThen} $2 != "" ${|} StrCpy $1 2 ${|}
      ${Do}
        ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "Chained$1"
        ${IfThen} $2 == "" ${|} ${Break} ${|}
        IntOp $1 $1 + 1
      ${Loop}
      StrCpy $ChainedRecord "Chained$1"
    ${EndIf}
  ${EndIf}

  Push "${SETTINGS_KEY}"
  Call KeyExists
  Pop $0
  IntOp $SettingsKeyCreated $0 ^ 1
  Push "${ADDON_KEY}"
  Call KeyExists
  Pop $0
  IntOp $AddOnKeyCreated $0 ^ 1
  Push "${UNINSTALL_KEY}"
  Call KeyExists
  Pop $Upgrade
  ; Which keys the first chaining created stays recorded for the uninstaller.
  ClearErrors
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "AddOnKeyCreated"
  ReadRegDWORD $1 HKLM "${UNINSTALL_KEY}" "SettingsKeyCreated"
  ${IfNot} ${Errors}
    StrCpy $AddOnKeyCreated $0
    StrCpy $SettingsKeyCreated $1
  ${EndIf}

  ; Unpack beside the final names first, so a failure leaves the old files alone.
  SetOutPath "$INSTDIR"
  SetOverwrite on
  Delete "$INSTDIR\ch_plug.dll.va-old"
  Delete "$INSTDIR\VAConfigWizard.exe.va-old"
  Delete "$INSTDIR\${UNINSTALLER}.va-old"
  ClearErrors
  File "/oname=ch_plug.dll.va-new" "${PLUG}"
  File "/oname=VAConfigWizard.exe.va-new" "${WIZARD}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}.va-new"
  ${If} ${Errors}
    Push "Setup could not write its files into $INSTDIR: nothing was changed."
    Call UndoAndFail
  ${EndIf}

  ${If} $ChainedFile != ""
    ClearErrors
    Rename "$INSTDIR\ch_plug.dll" "$INSTDIR\$ChainedFile"
    ${If} ${Errors}
      Push "The add-on $INSTDIR\ch_plug.dll is in use and cannot be renamed: nothing was changed."
      Call UndoAndFail
    ${EndIf}
    DetailPrint "Kept the add-on ch_plug.dll as $ChainedFile, listed as $ChainedValue"
  ${EndIf}
  !insertmacro Place ch_plug.dll $PlacedPlug
  !insertmacro Place VAConfigWizard.exe $PlacedWizard
  !insertmacro Place ${UNINSTALLER} $PlacedUninstaller

  ClearErrors
  ${If} $ChainedFile != ""
    WriteRegStr HKLM "${ADDON_KEY}" $ChainedValue "$INSTDIR\$ChainedFile"
    WriteRegStr HKLM "${UNINSTALL_KEY}" $ChainedRecord $ChainedFile
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "AddOnKeyCreated" $AddOnKeyCreated
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "SettingsKeyCreated" $SettingsKeyCreated
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\VAConfigWizard.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  SectionGetSize 0 $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  CreateDirectory "${MENU_FOLDER}"
  CreateShortCut "${MENU_ENTRY}" "$INSTDIR\VAConfigWizard.exe" "" "$INSTDIR\VAConfigWizard.exe" 0
  ${If} ${Errors}
    Push "Setup could not write to the registry or the Start menu: nothing was changed."
    Call UndoAndFail
  ${EndIf}

  ; The single record of an earlier setup joins the list only now: until here, a
  ; failure leaves it as the uninstaller put back by UndoAndFail reads it.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "ChainedFile"
  ${If} $0 != ""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Chained1" $0
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "ChainedFile"
    DeleteRegValue HKLM "${UNINSTALL_KEY}" "ChainedValue"
  ${EndIf}
  Call DropGoneRecords
  Delete /REBOOTOK "$INSTDIR\ch_plug.dll.va-old"
  Delete /REBOOTOK "$INSTDIR\VAConfigWizard.exe.va-old"
  Delete /REBOOTOK "$INSTDIR\${UNINSTALLER}.va-old"
SectionEnd

; ---- uninstaller ----


Section "-un.Uninstall"
  Call un.WaitForClosedClient
  ReadRegDWORD $AddOnKeyCreated HKLM "${UNINSTALL_KEY}" "AddOnKeyCreated"
  ReadRegDWORD $SettingsKeyCreated HKLM "${UNINSTALL_KEY}" "SettingsKeyCreated"

  ; ch_plug.dll is removed only while it is ours: another maker's installer may have
  ; put its own add-on there since, and then that add-on stays, and so do the
  ; add-ons chained to ours.
  StrCpy $R0 1
  ${If} ${FileExists} "$INSTDIR\ch_plug.dll"
    Push "$INSTDIR\ch_plug.dll"
    Call un.IsOurAddOn
    Pop $R0
  ${EndIf}
  ; The add-on that goes back as ch_plug.dll: the newest chained one still there.
  StrCpy $ChainedFile ""
  StrCpy $R1 0
  ${Do}
    IntOp $0 $R1 + 1
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "Chained$0"
    ${IfThen} $1 == "" ${|} ${Break} ${|}
    StrCpy $R1 $0
    ${If} $R0 == 1
    ${AndIf} ${FileExists} "$INSTDIR\$1"
      StrCpy $ChainedFile $1
    ${EndIf}
  ${Loop}

  ; Renames first: each can be undone while nothing else has changed.
  Delete "$INSTDIR\ch_plug.dll.va-old"
  Delete "$INSTDIR\VAConfigWizard.exe.va-old"
  ClearErrors
  ${If} $R0 == 1
  ${AndIf} ${FileExists} "$INSTDIR\ch_plug.dll"
    Rename "$INSTDIR\ch_plug.dll" "$INSTDIR\ch_plug.dll.va-old"
  ${EndIf}
  ${If} ${Errors}
    Push "$INSTDIR\ch_plug.dll is in use or cannot be removed: nothing was changed."
    Call un.Fail
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\VAConfigWizard.exe"
    Rename "$INSTDIR\VAConfigWizard.exe" "$INSTDIR\VAConfigWizard.exe.va-old"
  ${EndIf}
  ${If} ${Errors}
    Rename "$INSTDIR\ch_plug.dll.va-old" "$INSTDIR\ch_plug.dll"
    Push "$INSTDIR\VAConfigWizard.exe is in use or cannot be removed: nothing was changed."
    Call un.Fail
  ${EndIf}
  ${If} $ChainedFile != ""
    Rename "$INSTDIR\$ChainedFile" "$INSTDIR\ch_plug.dll"
    ${If} ${Errors}
      Rename "$INSTDIR\VAConfigWizard.exe.va-old" "$INSTDIR\VAConfigWizard.exe"
      Rename "$INSTDIR\ch_plug.dll.va-old" "$INSTDIR\ch_plug.dll"
      Push "The add-on $INSTDIR\$ChainedFile cannot be put back as ch_plug.dll: nothing was changed."
      Call un.Fail
    ${EndIf}
    DetailPrint "Put the add-on $ChainedFile back as ch_plug.dll"
  ${EndIf}
  ${If} $R0 != 1
    DetailPrint "ch_plug.dll is now another maker's add-on: it stays, and so do the add-ons chained to VA Extensions"
  ${EndIf}

  ; The listings: the add-on put back and those whose files are gone are removed
  ; (found by path: the options dialog renames DllN values); an older add-on still
  ; there stays listed, so that VA Extensions loads it again when reinstalled.
  StrCpy $0 $R1
  ${DoWhile} $0 > 0
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "Chained$0"
    ${If} $1 == $ChainedFile
    ${OrIfNot} ${FileExists} "$INSTDIR\$1"
      Push "$INSTDIR\$1"
      Call un.DropListing
      ${If} $1 != $ChainedFile
        DetailPrint "The chained add-on $1 is no longer there: removed from the list"
      ${EndIf}
    ${Else}
      DetailPrint "Kept the add-on $1, listed under HKEY_LOCAL_MACHINE\${ADDON_KEY}"
    ${EndIf}
    IntOp $0 $0 - 1
  ${Loop}
  Delete /REBOOTOK "$INSTDIR\ch_plug.dll.va-old"
  Delete /REBOOTOK "$INSTDIR\VAConfigWizard.exe.va-old"
  ${IfThen} $AddOnKeyCreated == 1 ${|} DeleteRegKey /ifempty HKLM "${ADDON_KEY}" ${|}
  ${IfThen} $SettingsKeyCreated == 1 ${|} DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}" ${|}
  Delete "${MENU_ENTRY}"
  RMDir "${MENU_FOLDER}"
SectionEnd

Section /o "un.Also remove my VA Extensions settings" SecRemoveSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd

; Last of all, so that a script waiting for the uninstaller sees it gone only when
; everything else is done.
Section "-un.Finish"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete /REBOOTOK "$INSTDIR\${UNINSTALLER}"
SectionEnd

Function un.onInit
  Call un.UseRegistryView
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecRemoveSettings}
  ${EndIf}
FunctionEnd
