; The Zaprelay installer: a per-user install (the settings file lives beside the program, so the
; folder must be the user's to write), a Start-menu shortcut, an optional start with Windows,
; the receiver installed as DCD.dll, and an uninstaller that keeps the user's settings.
;
; Built by the build (packaging/CMakeLists.txt) with these defines:
;   VERSION  the product version, x.y.z     STAGE  the folder of the files to install
;   OUT_FILE the installer to write         ICON   the program icon
;   WIZARD   the picture of the welcome and finish pages (164 x 314, 24-bit BMP)
;
; Silent use: setup.exe /S [/D=folder] [/RECEIVER=virtual|lirc|keys] [/HOST=name]
;   [/PORT=number] [/AUTOSTART=0|1]; uninstall.exe /S [/REMOVESETTINGS]

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WinMessages.nsh

!define PRODUCT "Zaprelay"
!define APP_KEY "Software\Zaprelay"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zaprelay"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The main window's class: how a running copy is found and asked to close.
!define MAIN_WINDOW_CLASS "TFRM"
!define LIRC_SECTION "LircReceiver"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${APP_KEY}" "InstallDir"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "CompanyName" "The Zaprelay developers"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 The Zaprelay developers"

Var Receiver        ; virtual, lirc or keys
Var LircHost
Var LircPort
Var ReceiverDialog
Var VirtualRadio
Var LircRadio
Var KeysRadio
Var HostLabel
Var HostEdit
Var PortLabel
Var PortEdit

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WIZARD}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!define MUI_WELCOMEPAGE_TEXT "Zaprelay lets your remote control drive MyTheatre or ProgDvb: it waits in the notification area and starts the viewer with the command you paired with each button.$\r$\n$\r$\nIt is installed for you alone, in a folder of yours, and needs no administrator. Your paired buttons are kept when you install a newer version.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
Page custom ReceiverPage ReceiverPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Zaprelay is installed. It starts as a small remote-control icon in the notification area: double-click it for the window, where Options pairs your buttons with commands."
!define MUI_FINISHPAGE_RUN "$INSTDIR\zaprelay.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Zaprelay now"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "Zaprelay's program files go. Your settings (the buttons you paired, the viewer's path, the receivers' settings) stay in the folder for a later installation, unless you tick the box."
!define MUI_COMPONENTSPAGE_TEXT_COMPLIST "Also remove:"
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Installer ------------------------------------------------------------------------------

Section "Zaprelay" SecProgram
    SectionIn RO
    Call CloseRunningProgram
    SetOutPath "$INSTDIR"
    File "${STAGE}\zaprelay.exe"
    File "${STAGE}\zaprelay-receiver.exe"
    File "${STAGE}\README.txt"
    ; The settings file holds the user's paired buttons: an upgrade never touches it.
    SetOverwrite off
    File "${STAGE}\Zaplink.ini"
    SetOverwrite on
    SetOutPath "$INSTDIR\receivers\virtual"
    File "${STAGE}\receivers\virtual\DCD.dll"
    SetOutPath "$INSTDIR\receivers\lirc"
    File "${STAGE}\receivers\lirc\DCD.dll"
    SetOutPath "$INSTDIR\receivers\keys"
    File "${STAGE}\receivers\keys\DCD.dll"
    SetOutPath "$INSTDIR\receivers\guard"
    File "${STAGE}\receivers\guard\DCD.dll"
    SetOutPath "$INSTDIR"

    CopyFiles /SILENT "$INSTDIR\receivers\$Receiver\DCD.dll" "$INSTDIR\DCD.dll"
    ${If} $Receiver == "lirc"
        WriteINIStr "$INSTDIR\LircReceiver.ini" "${LIRC_SECTION}" "Host" "$LircHost"
        WriteINIStr "$INSTDIR\LircReceiver.ini" "${LIRC_SECTION}" "Port" "$LircPort"
    ${EndIf}

    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\zaprelay.exe" "" "$INSTDIR\zaprelay.exe" 0 \
        SW_SHOWNORMAL "" "Remote control for MyTheatre and ProgDvb"

    WriteRegStr HKCU "${APP_KEY}" "InstallDir" "$INSTDIR"
    WriteRegStr HKCU "${APP_KEY}" "Receiver" "$Receiver"
SectionEnd

Section /o "Start with Windows" SecAutostart
    WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\zaprelay.exe"'
SectionEnd

; Last, so the size counts every file.
Section "-Entry in the installed programs"
    ${IfNot} ${SectionIsSelected} ${SecAutostart}
        DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    ${EndIf}
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Zaprelay developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zaprelay.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function .onInit
    ; What the last installation chose, else the virtual remote on the screen.
    ReadRegStr $Receiver HKCU "${APP_KEY}" "Receiver"
    ${If} $Receiver != "lirc"
    ${AndIf} $Receiver != "keys"
        StrCpy $Receiver "virtual"
    ${EndIf}
    ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
    ${If} $0 != ""
        !insertmacro SelectSection ${SecAutostart}
    ${EndIf}

    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/RECEIVER=" $R1
    ${IfNot} ${Errors}
        ${If} $R1 != "virtual"
        ${AndIf} $R1 != "lirc"
        ${AndIf} $R1 != "keys"
            MessageBox MB_ICONSTOP "Unknown receiver $\"$R1$\": choose virtual, lirc or keys." /SD IDOK
            SetErrorLevel 2
            Quit
        ${EndIf}
        StrCpy $Receiver $R1
    ${EndIf}
    ClearErrors
    ${GetOptions} $R0 "/AUTOSTART=" $R1
    ${IfNot} ${Errors}
        ${If} $R1 == "1"
            !insertmacro SelectSection ${SecAutostart}
        ${Else}
            !insertmacro UnselectSection ${SecAutostart}
        ${EndIf}
    ${EndIf}
    ; The host and port come from the page, or in silent use from here; an existing
    ; LircReceiver.ini fills them in once the folder is known.
    ClearErrors
    ${GetOptions} $R0 "/HOST=" $LircHost
    ClearErrors
    ${GetOptions} $R0 "/PORT=" $LircPort
    ${If} ${Silent}
        Call DefaultLircServer
        Call CheckLircServer
        ${If} $0 != ""
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

; Fills an empty host or port from the settings file in the folder, else the defaults.
Function DefaultLircServer
    ${If} $LircHost == ""
        ReadINIStr $LircHost "$INSTDIR\LircReceiver.ini" "${LIRC_SECTION}" "Host"
    ${EndIf}
    ${If} $LircHost == ""
        StrCpy $LircHost "127.0.0.1"
    ${EndIf}
    ${If} $LircPort == ""
        ReadINIStr $LircPort "$INSTDIR\LircReceiver.ini" "${LIRC_SECTION}" "Port"
    ${EndIf}
    ${If} $LircPort == ""
        StrCpy $LircPort "8765"
    ${EndIf}
FunctionEnd

; $0: empty when the host and port can be used, else what is wrong (a message is shown).
Function CheckLircServer
    StrCpy $0 ""
    ${If} $Receiver != "lirc"
        Return
    ${EndIf}
    ${If} $LircHost == ""
        StrCpy $0 "Please enter the host of your LIRC daemon or WinLIRC server."
    ${Else}
        ; No blanks inside a host name.
        Push $LircHost
        Call HasBlank
        Pop $1
        ${If} $1 == 1
            StrCpy $0 "A host name has no blanks: $\"$LircHost$\"."
        ${EndIf}
    ${EndIf}
    ${If} $0 == ""
        IntOp $1 $LircPort + 0
        ${If} $1 < 1
        ${OrIf} $1 > 65535
        ${OrIf} "$1" != "$LircPort"
            StrCpy $0 "Please enter a port from 1 to 65535."
        ${EndIf}
    ${EndIf}
    ${If} $0 != ""
        MessageBox MB_ICONEXCLAMATION "$0" /SD IDOK
    ${EndIf}
FunctionEnd

; 1 when the text on the stack holds a blank or a tab, else 0.
Function HasBlank
    Exch $R0
    Push $R1
    Push $R2
    StrCpy $R2 0
    ${Do}
        StrCpy $R1 $R0 1 $R2
        ${If} $R1 == ""
            StrCpy $R0 0
            ${Break}
        ${EndIf}
        ${If} $R1 == " "
        ${OrIf} $R1 == "$\t"
            StrCpy $R0 1
            ${Break}
        ${EndIf}
        IntOp $R2 $R2 + 1
    ${Loop}
    Pop $R2
    Pop $R1
    Exch $R0
FunctionEnd

Function ReceiverPage
    !insertmacro MUI_HEADER_TEXT "Receiver" "Choose how Zaprelay hears your remote control."
    Call DefaultLircServer
    nsDialogs::Create 1018
    Pop $ReceiverDialog
    ${If} $ReceiverDialog == error
        Abort
    ${EndIf}

    ${NSD_CreateLabel} 0 0 100% 20u "Zaprelay hears your remote through a receiver plug-in. All three are installed in the receivers folder; the one you choose here is used. Run this setup again to change it."
    Pop $0

    ${NSD_CreateRadioButton} 0 26u 100% 11u "&Network receiver: a LIRC daemon or a WinLIRC server"
    Pop $LircRadio
    ${NSD_AddStyle} $LircRadio ${WS_GROUP}
    ${NSD_CreateLabel} 14u 41u 30u 10u "&Host:"
    Pop $HostLabel
    ${NSD_CreateText} 46u 39u 120u 12u "$LircHost"
    Pop $HostEdit
    ${NSD_CreateLabel} 176u 41u 24u 10u "&Port:"
    Pop $PortLabel
    ${NSD_CreateNumber} 202u 39u 40u 12u "$LircPort"
    Pop $PortEdit
    ${NSD_Edit_SetTextLimit} $PortEdit 5

    ${NSD_CreateRadioButton} 0 60u 100% 11u "&Keyboard remote: Media Center and USB remotes that Windows sees as keys"
    Pop $KeysRadio
    ${NSD_CreateRadioButton} 0 78u 100% 11u "&Virtual remote: buttons on the screen, to try Zaprelay without a remote"
    Pop $VirtualRadio

    ${NSD_OnClick} $LircRadio ReceiverChanged
    ${NSD_OnClick} $KeysRadio ReceiverChanged
    ${NSD_OnClick} $VirtualRadio ReceiverChanged
    ${If} $Receiver == "lirc"
        ${NSD_Check} $LircRadio
    ${ElseIf} $Receiver == "keys"
        ${NSD_Check} $KeysRadio
    ${Else}
        ${NSD_Check} $VirtualRadio
    ${EndIf}
    Call ReceiverChanged
    nsDialogs::Show
FunctionEnd

; The host and port are only for the network receiver.
Function ReceiverChanged
    ${NSD_GetState} $LircRadio $0
    ${If} $0 == ${BST_CHECKED}
        StrCpy $1 1
    ${Else}
        StrCpy $1 0
    ${EndIf}
    EnableWindow $HostLabel $1
    EnableWindow $HostEdit $1
    EnableWindow $PortLabel $1
    EnableWindow $PortEdit $1
FunctionEnd

Function ReceiverPageLeave
    ${NSD_GetState} $LircRadio $0
    ${NSD_GetState} $KeysRadio $1
    ${If} $0 == ${BST_CHECKED}
        StrCpy $Receiver "lirc"
    ${ElseIf} $1 == ${BST_CHECKED}
        StrCpy $Receiver "keys"
    ${Else}
        StrCpy $Receiver "virtual"
    ${EndIf}
    ${NSD_GetText} $HostEdit $LircHost
    ${NSD_GetText} $PortEdit $LircPort
    Call CheckLircServer
    ${If} $0 != ""
        Abort
    ${EndIf}
FunctionEnd

; Closes a running Zaprelay (its files cannot be replaced while it runs) and waits for the
; process to end.
!macro CLOSE_RUNNING_PROGRAM un
Function ${un}CloseRunningProgram
    FindWindow $0 "${MAIN_WINDOW_CLASS}" ""
    ${If} $0 == 0
        Return
    ${EndIf}
    MessageBox MB_OKCANCEL|MB_ICONINFORMATION "Zaprelay is running. Choose OK to close it and go on." /SD IDOK IDOK +2
    Quit
    System::Call "user32::GetWindowThreadProcessId(p r0, *i .r1)"
    ; SYNCHRONIZE: only to wait for the end.
    System::Call "kernel32::OpenProcess(i 0x00100000, i 0, i r1) p .r2"
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $2 P<> 0
        System::Call "kernel32::WaitForSingleObject(p r2, i 10000)"
        System::Call "kernel32::CloseHandle(p r2)"
    ${EndIf}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_PROGRAM ""
!insertmacro CLOSE_RUNNING_PROGRAM "un."

; Uninstaller ----------------------------------------------------------------------------

Section "-un.Zaprelay"
    Call un.CloseRunningProgram
    Delete "$INSTDIR\zaprelay.exe"
    Delete "$INSTDIR\zaprelay-receiver.exe"
    Delete "$INSTDIR\DCD.dll"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\receivers\virtual\DCD.dll"
    Delete "$INSTDIR\receivers\lirc\DCD.dll"
    Delete "$INSTDIR\receivers\keys\DCD.dll"
    Delete "$INSTDIR\receivers\guard\DCD.dll"
    RMDir "$INSTDIR\receivers\virtual"
    RMDir "$INSTDIR\receivers\lirc"
    RMDir "$INSTDIR\receivers\keys"
    RMDir "$INSTDIR\receivers\guard"
    RMDir "$INSTDIR\receivers"
    Delete "$INSTDIR\uninstall.exe"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "${APP_KEY}"
SectionEnd

Section /o "un.My settings" SecRemoveSettings
    Delete "$INSTDIR\Zaplink.ini"
    Delete "$INSTDIR\LircReceiver.ini"
    Delete "$INSTDIR\KeyboardRemote.ini"
    Delete "$INSTDIR\VirtualRemote.ini"
SectionEnd

; The folder goes only when nothing of the user's is left in it.
Section "-un.Folder"
    RMDir "$INSTDIR"
SectionEnd

Function un.onInit
    ${GetParameters} $R0
    ClearErrors
    ${GetOptions} $R0 "/REMOVESETTINGS" $R1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecRemoveSettings}
    ${EndIf}
FunctionEnd
