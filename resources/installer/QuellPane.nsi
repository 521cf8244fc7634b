; QuellPane's installer. Per user and without administrator rights, into the user's own
; programs folder, where the list files beside QuellPane.exe stay writable. Built by CMake
; (resources/installer/CMakeLists.txt), which gives PRODUCT_INFO (the generated defines and file
; lists), PROGRAM_FILE and OUT_FILE on makensis's command line.

Unicode true
Target amd64-unicode

!include "${PRODUCT_INFO}"
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT_NAME}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define TOOLS_KEY "Software\Microsoft\Internet Explorer\Extensions\{ECC5777A-6E88-BFCE-13CE-81F134789E7B}"
!define SETTINGS_KEY "Software\VB and VBA Program Settings\${PRODUCT_NAME}"
; The running program's message-only window (platform/win32/SingleInstance.cpp).
!define INSTANCE_CLASS "${PRODUCT_NAME}Instance"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT_NAME}.lnk"
!define UNINSTALLER "Uninstall.exe"

!define ASK_CLOSE "${PRODUCT_NAME} is running. Setup closes it first; your site lists and settings are kept."
!define TELL_LEFT "These entries for all users need administrator rights to be removed; an administrator can delete them with the Registry Editor:"
!define ASK_DELETE_DATA "Also delete your site lists (allowed.txt and disallowed.txt) and your ${PRODUCT_NAME} settings?$\n$\nChoose No to keep them for a later installation."

Name "${PRODUCT_NAME}"
OutFile "${OUT_FILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT_NAME}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ManifestDPIAware true
BrandingText "${PRODUCT_NAME} ${VERSION}"

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey "CompanyName" "${COMPANY_NAME}"
VIAddVersionKey "FileDescription" "${PRODUCT_NAME} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${COMPANY_NAME}"

!define MUI_ICON "${PROGRAM_ICON}"
!define MUI_UNICON "${PROGRAM_ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\QuellPane.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT_NAME} now"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; --- a running copy, for the installer and the uninstaller alike ---

!macro RUNNING_COPY_FUNCTIONS un
; The running copy's window in $0, or 0.
Function ${un}FindRunningCopy
    System::Call 'user32::FindWindowExW(p -3, p 0, w "${INSTANCE_CLASS}", p 0) p .r0'
FunctionEnd

; Ends the running copy as File > Exit does, so that it saves its settings: a close request to
; its window, waited for; one that has not ended after 15 s is ended hard.
Function ${un}CloseRunningCopy
    StrCpy $4 0
    ${Do}
        Call ${un}FindRunningCopy
        ${If} $0 = 0
        ${OrIf} $4 >= 3
            ${Break}
        ${EndIf}
        IntOp $4 $4 + 1
        System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
        ; SYNCHRONIZE | PROCESS_TERMINATE
        System::Call 'kernel32::OpenProcess(i 0x100001, i 0, i r1) p .r2'
        System::Call 'user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0)'
        ${If} $2 = 0
            Sleep 5000
            ${Continue}
        ${EndIf}
        System::Call 'kernel32::WaitForSingleObject(p r2, i 15000) i .r3'
        ${If} $3 <> 0
            DetailPrint "${PRODUCT_NAME} did not end when asked; ending it."
            System::Call 'kernel32::TerminateProcess(p r2, i 1)'
            System::Call 'kernel32::WaitForSingleObject(p r2, i 5000)'
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r2)'
    ${Loop}
FunctionEnd
!macroend
!insertmacro RUNNING_COPY_FUNCTIONS ""
!insertmacro RUNNING_COPY_FUNCTIONS "un."

; --- install, or update an installation in place ---

Section
    Call FindRunningCopy
    ${If} $0 <> 0
        MessageBox MB_OKCANCEL|MB_ICONINFORMATION "${ASK_CLOSE}" /SD IDOK IDOK close
        Abort "${PRODUCT_NAME} is still running: nothing was changed."
      close:
        Call CloseRunningCopy
    ${EndIf}

    ; allowed.txt and disallowed.txt are the program's to make and the user's to keep: an update
    ; never writes them.
    SetOutPath "$INSTDIR"
    File "${PROGRAM_FILE}"
    !insertmacro INSTALL_DATA_FILES
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\QuellPane.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY_NAME}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\QuellPane.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; --- uninstall ---

; The Run value and the browser's Tools-menu entry in one registry view, for all users and for
; this one, wherever the program put them. What stays for all users (that needs administrator
; rights, which this uninstaller does not ask for) is listed in $R0.
!macro REMOVE_SHELL_ENTRIES view
    SetRegView ${view}
    DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT_NAME}"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT_NAME}"
    DeleteRegKey HKLM "${TOOLS_KEY}"
    DeleteRegKey HKCU "${TOOLS_KEY}"
    ClearErrors
    ReadRegStr $0 HKLM "${RUN_KEY}" "${PRODUCT_NAME}"
    ${IfNot} ${Errors}
        StrCpy $R0 "$R0$\n  HKEY_LOCAL_MACHINE\${RUN_KEY} (${view}-bit), value ${PRODUCT_NAME}"
    ${EndIf}
    ClearErrors
    EnumRegValue $0 HKLM "${TOOLS_KEY}" 0
    ${IfNot} ${Errors}
        StrCpy $R0 "$R0$\n  HKEY_LOCAL_MACHINE\${TOOLS_KEY} (${view}-bit)"
    ${EndIf}
!macroend

Section "Uninstall"
    Call un.CloseRunningCopy

    StrCpy $R0 ""
    !insertmacro REMOVE_SHELL_ENTRIES 64
    !insertmacro REMOVE_SHELL_ENTRIES 32
    SetRegView default
    ${If} $R0 != ""
        DetailPrint "Left for an administrator to remove:$R0"
        MessageBox MB_OK|MB_ICONEXCLAMATION "${TELL_LEFT}$R0" /SD IDOK
    ${EndIf}

    Delete "${SHORTCUT}"
    Delete "$INSTDIR\QuellPane.exe"
    !insertmacro DELETE_DATA_FILES
    ; What a list write that could not finish leaves (the program's temporary files).
    Delete "$INSTDIR\qp*.tmp"
    Delete "$INSTDIR\${UNINSTALLER}"

    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "${ASK_DELETE_DATA}" /SD IDNO IDNO kept
    Delete "$INSTDIR\allowed.txt"
    Delete "$INSTDIR\disallowed.txt"
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  kept:
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
