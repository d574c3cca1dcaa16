; Quillon's installer for 64-bit Windows: the program, its four data files, the shredder, the
; Explorer extension, the help file and the change log in one folder, with an uninstaller.
; Built by the CMake target `installer` (scripts/package), which passes the defines checked below.
; Silent with /S: the same installation without questions; the uninstaller then keeps the settings.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
; Windows guesses "setup" names to be installers; this one says so itself (admin manifest).
!pragma warning disable 9000

!macro RequireDefine NAME
  !ifndef ${NAME}
    !error "missing -D${NAME}=... (the CMake target `installer` passes it)"
  !endif
!macroend
!insertmacro RequireDefine VERSION
!insertmacro RequireDefine PUBLISHER
!insertmacro RequireDefine PROGRAM
!insertmacro RequireDefine SHREDDER
!insertmacro RequireDefine SHELL_DLL
!insertmacro RequireDefine DATA_DIR
!insertmacro RequireDefine HELP_FILE
!insertmacro RequireDefine CHANGELOG
!insertmacro RequireDefine OUTFILE

; makensis works in this script's folder.
!define SOURCE_DIR ".."
; The extension's class identifier has one home, the header the extension itself compiles.
!searchparse /file "${SOURCE_DIR}/shellext/ShellExtClsid.h" `#define LORVEX_SHELL_CLSID_TEXT "` SHELL_CLSID `"`

!define APP_KEY "Software\Venmoor\Quillon"
!define SETTINGS_KEY "${APP_KEY}\Settings"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quillon"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved"
!define HANDLER_NAME "Quillon"
!define MAIN_CAPTION "Quillon 汉化版"
!define SCAN_BUTTON 1013
!define SHORTCUT "$SMPROGRAMS\Quillon.lnk"

Name "Quillon"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Quillon"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
BrandingText "Quillon ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "Quillon"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "Quillon 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "版权所有 (C) ${PUBLISHER}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define MUI_ICON "${SOURCE_DIR}/resources/icons/Quillon.ico"
!define MUI_UNICON "${SOURCE_DIR}/resources/icons/Quillon.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Lorvex.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; ---------------------------------------------------------------- shared by installer and uninstaller

; The program holds the first event while it runs and the second while a refused second start shows
; its message. Sets $R0 to 1 while either exists.
!macro DefineIsQuillonRunning PREFIX
Function ${PREFIX}IsQuillonRunning
  StrCpy $R0 0
  ${ForEach} $R1 4002 5002 + 1000
    System::Call 'kernel32::OpenEventW(i 0x00100000, i 0, w "Global\QuillonEvent$R1") p.R2'
    ${If} $R2 P<> 0
      System::Call 'kernel32::CloseHandle(p R2)'
      StrCpy $R0 1
    ${EndIf}
  ${Next}
FunctionEnd

; Asks a running Quillon to quit, as its window's close command does, and waits up to 10 s for it.
; When it stays (a scan or clean cannot be interrupted), the user may retry; a silent run gives up
; with exit code 2.
Function ${PREFIX}CloseRunningQuillon
  retry:
  Call ${PREFIX}IsQuillonRunning
  ${If} $R0 = 0
    Return
  ${EndIf}
  StrCpy $R3 0
  ${Do}
    FindWindow $R3 "#32770" "${MAIN_CAPTION}" "" $R3
    ${If} $R3 = 0
      ${Break}
    ${EndIf}
    GetDlgItem $R4 $R3 ${SCAN_BUTTON}
    ${If} $R4 <> 0
      SendMessage $R3 ${WM_SYSCOMMAND} 0xF060 0 /TIMEOUT=5000
    ${EndIf}
  ${Loop}
  ${For} $R5 1 50
    Call ${PREFIX}IsQuillonRunning
    ${If} $R0 = 0
      Return
    ${EndIf}
    Sleep 200
  ${Next}
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Quillon 正在运行，无法自动关闭。$\r$\n请先退出 Quillon，然后点击“重试”。" /SD IDCANCEL IDRETRY retry
  SetErrorLevel 2
  Quit
FunctionEnd

; Sets $R0 to 1 when the file $R1 holds exactly the bytes of the file $R2. A file that cannot be
; read counts as different, so it is never overwritten unseen.
Function ${PREFIX}SameBytes
  StrCpy $R0 0
  ClearErrors
  FileOpen $R3 $R1 r
  FileOpen $R4 $R2 r
  ${If} ${Errors}
    Goto close
  ${EndIf}
  FileSeek $R3 0 END $R5
  FileSeek $R4 0 END $R6
  ${If} $R5 <> $R6
    Goto close
  ${EndIf}
  FileSeek $R3 0 SET
  FileSeek $R4 0 SET
  ${For} $R7 1 $R5
    FileReadByte $R3 $R8
    FileReadByte $R4 $R9
    ${If} $R8 <> $R9
      Goto close
    ${EndIf}
  ${Next}
  StrCpy $R0 1
  close:
  FileClose $R3
  FileClose $R4
FunctionEnd

; Sets $R0 to 1 when the installed DiskCleanEng.dat holds the user's custom items: the program
; rewrites the file when they change, so a file that is neither empty nor the shipped one is the
; user's. Needs the shipped file in $PLUGINSDIR.
Function ${PREFIX}HoldsCustomItems
  StrCpy $R0 0
  IfFileExists "$INSTDIR\DiskCleanEng.dat" 0 done
  StrCpy $R0 1
  ClearErrors
  FileOpen $R3 "$INSTDIR\DiskCleanEng.dat" r
  IfErrors done
  FileSeek $R3 0 END $R4
  FileClose $R3
  StrCpy $R0 0
  ${If} $R4 = 0
    Goto done
  ${EndIf}
  StrCpy $R1 "$INSTDIR\DiskCleanEng.dat"
  StrCpy $R2 "$PLUGINSDIR\DiskCleanEng.dat"
  Call ${PREFIX}SameBytes
  IntOp $R0 $R0 !
  done:
FunctionEnd
!macroend
!insertmacro DefineIsQuillonRunning ""
!insertmacro DefineIsQuillonRunning "un."

!macro UnpackShippedCustomItemsFile
  InitPluginsDir
  SetOutPath "$PLUGINSDIR"
  File "/oname=DiskCleanEng.dat" "${DATA_DIR}/DiskCleanEng.dat"
!macroend

; ---------------------------------------------------------------- installer

Function .onInit
  SetRegView 64
  Call CloseRunningQuillon
FunctionEnd

Section "Quillon"
  SectionIn RO
  SetRegView 64
  SetShellVarContext all

  !insertmacro UnpackShippedCustomItemsFile
  SetOutPath "$INSTDIR"
  Call HoldsCustomItems
  ${If} $R0 = 0
    File "/oname=DiskCleanEng.dat" "${DATA_DIR}/DiskCleanEng.dat"
  ${Else}
    DetailPrint "保留含有自定义项目的 DiskCleanEng.dat"
  ${EndIf}

  File "/oname=Lorvex.exe" "${PROGRAM}"
  File "/oname=InetEng.dat" "${DATA_DIR}/InetEng.dat"
  File "/oname=SysEng.dat" "${DATA_DIR}/SysEng.dat"
  File "/oname=AppsEng.dat" "${DATA_DIR}/AppsEng.dat"
  File "/oname=tambShred.exe" "${SHREDDER}"
  ; Explorer may have the old extension loaded: a loaded DLL cannot be overwritten, but it can be
  ; renamed, and the old copy goes at the next restart.
  IfFileExists "$INSTDIR\LorvexShell.dll" 0 +3
    Rename "$INSTDIR\LorvexShell.dll" "$INSTDIR\LorvexShell.dll.old"
    Delete /REBOOTOK "$INSTDIR\LorvexShell.dll.old"
  File "/oname=LorvexShell.dll" "${SHELL_DLL}"
  File "/oname=LorvexHelp.chm" "${HELP_FILE}"
  File "/oname=ChangeLog.txt" "${CHANGELOG}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The program and the extension find the install folder here (for the installing user).
  WriteRegStr HKCU "${SETTINGS_KEY}" "InstalledDir" "$INSTDIR"

  WriteRegStr HKCR "CLSID\${SHELL_CLSID}" "" "Quillon 粉碎命令"
  WriteRegStr HKCR "CLSID\${SHELL_CLSID}\InprocServer32" "" "$INSTDIR\LorvexShell.dll"
  WriteRegStr HKCR "CLSID\${SHELL_CLSID}\InprocServer32" "ThreadingModel" "Apartment"
  WriteRegStr HKCR "*\shellex\ContextMenuHandlers\${HANDLER_NAME}" "" "${SHELL_CLSID}"
  WriteRegStr HKCR "Directory\shellex\ContextMenuHandlers\${HANDLER_NAME}" "" "${SHELL_CLSID}"
  WriteRegStr HKLM "${APPROVED_KEY}" "${SHELL_CLSID}" "Quillon 粉碎命令"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'  ; SHCNE_ASSOCCHANGED

  CreateShortcut "${SHORTCUT}" "$INSTDIR\Lorvex.exe" "" "$INSTDIR\Lorvex.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quillon"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Lorvex.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; ---------------------------------------------------------------- uninstaller

Function un.onInit
  SetRegView 64
  Call un.CloseRunningQuillon
FunctionEnd

Section "Uninstall"
  SetRegView 64
  SetShellVarContext all

  ; The extension first, so Explorer stops offering the command.
  DeleteRegKey HKCR "*\shellex\ContextMenuHandlers\${HANDLER_NAME}"
  DeleteRegKey HKCR "Directory\shellex\ContextMenuHandlers\${HANDLER_NAME}"
  DeleteRegKey HKCR "CLSID\${SHELL_CLSID}"
  DeleteRegValue HKLM "${APPROVED_KEY}" "${SHELL_CLSID}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  MessageBox MB_YESNO|MB_ICONQUESTION "是否同时删除你的 Quillon 设置与自定义项目？$\r$\n选择“否”则保留它们，重新安装后仍然有效。" /SD IDNO IDYES removeUserData
  !insertmacro UnpackShippedCustomItemsFile
  Call un.HoldsCustomItems
  ${If} $R0 = 0
    Delete "$INSTDIR\DiskCleanEng.dat"
  ${EndIf}
  DeleteRegValue HKCU "${SETTINGS_KEY}" "InstalledDir"
  Goto filesGo
  removeUserData:
  Delete "$INSTDIR\DiskCleanEng.dat"
  DeleteRegKey HKCU "${APP_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Venmoor"
  filesGo:

  Delete "$INSTDIR\Lorvex.exe"
  Delete "$INSTDIR\InetEng.dat"
  Delete "$INSTDIR\SysEng.dat"
  Delete "$INSTDIR\AppsEng.dat"
  Delete "$INSTDIR\tambShred.exe"
  Delete /REBOOTOK "$INSTDIR\LorvexShell.dll"
  Delete /REBOOTOK "$INSTDIR\LorvexShell.dll.old"
  Delete "$INSTDIR\LorvexHelp.chm"
  Delete "$INSTDIR\ChangeLog.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "QuillonApp"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
