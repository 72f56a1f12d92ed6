; OrvKey's setup: for one user, without administrator rights. Installs into
; %LOCALAPPDATA%\Programs\OrvKey (or a folder the user picks), adds a
; Start-menu shortcut and an uninstall entry, and may start the keyboard
; with Windows through the same Run value its options panel sets. Run over
; an installed version it upgrades in place; the user's OrvKey.ini and
; OrvKey.jpg are never touched, by the setup or by the uninstaller.
;
; Built by CMake (target dist), which passes on the command line:
;   VERSION   the version, as x.y.z       PROGRAM   the orvkey.exe to ship
;   LICENSE   the licence page's text     NOTICES   the third-party notices
;   ICON      the program's icon           OUTFILE  the setup to write
;   SIDE_PICTURE (if given) the welcome and finish pages' picture

Unicode true
; Windows x64 and Wine's 64-bit prefixes; a 32-bit stub would not start
; under a Wine that has no 32-bit half.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvKey"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define PUBLISHER "OrvKey team"
; What the keyboard registers and holds while it runs (win32/).
!define KEYBOARD_CLASS "OrvKeyKeyboard"
!define KEYBOARD_MUTEX "Local\OrvKey.Keyboard.Instance"

Name "OrvKey"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\OrvKey"
; An upgrade goes where the installed version is.
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "OrvKey ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\orvkey.exe"
!ifdef SIDE_PICTURE
  !define MUI_WELCOMEFINISHPAGE_BITMAP "${SIDE_PICTURE}"
!endif

!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The pages speak the system's language: Russian there, English elsewhere.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"

LangString SecProgramName ${LANG_ENGLISH} "OrvKey"
LangString SecProgramName ${LANG_RUSSIAN} "OrvKey"
LangString SecAutorunName ${LANG_ENGLISH} "Start OrvKey with Windows"
LangString SecAutorunName ${LANG_RUSSIAN} "Запускать OrvKey вместе с Windows"
LangString WelcomeText ${LANG_ENGLISH} "This installs OrvKey ${VERSION}, the on-screen touch keyboard, for you alone: no administrator rights are needed.$\r$\n$\r$\nA running OrvKey is closed before its files are replaced and started again afterwards; your settings are kept.$\r$\n$\r$\nClick Next to continue."
LangString WelcomeText ${LANG_RUSSIAN} "Будет установлена экранная клавиатура OrvKey ${VERSION}, только для вас: права администратора не нужны.$\r$\n$\r$\nЗапущенная OrvKey будет закрыта перед заменой файлов и запущена снова, её настройки сохранятся.$\r$\n$\r$\nНажмите кнопку «Далее» для продолжения."
LangString KeyboardStillRuns ${LANG_ENGLISH} "OrvKey is still running. Close it, then press Retry."
LangString KeyboardStillRuns ${LANG_RUSSIAN} "OrvKey всё ещё работает. Закройте его и нажмите «Повтор»."

VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "OrvKey"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "OrvKey setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT licence"

; A running keyboard holds orvkey.exe: it is asked to close as the user would
; close it (it saves its settings and ends), and waited for until its
; instance mutex is gone. One that will not end within ten seconds is left to
; the user. KeyboardWasRunning tells the setup to start it again.
Var KeyboardWasRunning
!macro DEFINE_CLOSE_KEYBOARD UN
Function ${UN}CloseKeyboard
  Push $R0
  Push $R1
  Push $R2
  StrCpy $R1 0
  StrCpy $KeyboardWasRunning 0
  ${Do}
    ; Asked again each second: a keyboard still starting has no window yet.
    IntOp $R2 $R1 % 10
    ${If} $R2 = 0
      FindWindow $R0 "${KEYBOARD_CLASS}"
      ${If} $R0 <> 0
        StrCpy $KeyboardWasRunning 1
        SendMessage $R0 ${WM_CLOSE} 0 0 /TIMEOUT=3000
      ${EndIf}
    ${EndIf}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${KEYBOARD_MUTEX}") p.R0'
    ${If} $R0 = 0
      ${Break}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R0)'
    StrCpy $KeyboardWasRunning 1
    Sleep 100
    IntOp $R1 $R1 + 1
    ${If} $R1 >= 100
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(KeyboardStillRuns)" /SD IDCANCEL IDRETRY +2
      Abort
      StrCpy $R1 0
    ${EndIf}
  ${Loop}
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd
!macroend
!insertmacro DEFINE_CLOSE_KEYBOARD ""
!insertmacro DEFINE_CLOSE_KEYBOARD "un."

Section "$(SecProgramName)" SecProgram
  SectionIn RO
  Call CloseKeyboard
  SetOutPath "$INSTDIR"
  File "/oname=orvkey.exe" "${PROGRAM}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  File "/oname=THIRD_PARTY_NOTICES.txt" "${NOTICES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\OrvKey.lnk" "$INSTDIR\orvkey.exe" "" "$INSTDIR\orvkey.exe" 0
SectionEnd

; The command line is the one the options panel's Autorun writes.
Section "$(SecAutorunName)" SecAutorun
  WriteRegStr HKCU "${RUN_KEY}" "OrvKey" '"$INSTDIR\orvkey.exe"'
SectionEnd

; Declined: a Run value already there is emptied, as the panel's Cancel does.
Section "-Autorun declined"
  ${IfNot} ${SectionIsSelected} ${SecAutorun}
    ClearErrors
    ReadRegStr $0 HKCU "${RUN_KEY}" "OrvKey"
    ${IfNot} ${Errors}
      WriteRegStr HKCU "${RUN_KEY}" "OrvKey" ""
    ${EndIf}
  ${EndIf}
SectionEnd

Section "-Uninstall entry"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "OrvKey"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\orvkey.exe,0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; An upgrade leaves the keyboard as it found it.
Section "-Restart"
  ${If} $KeyboardWasRunning = 1
    Exec '"$INSTDIR\orvkey.exe"'
  ${EndIf}
SectionEnd

; An upgrade keeps the user's earlier answer about starting with Windows.
Function .onInit
  ClearErrors
  ReadRegStr $0 HKCU "${UNINST_KEY}" "DisplayVersion"
  ${IfNot} ${Errors}
    ReadRegStr $0 HKCU "${RUN_KEY}" "OrvKey"
    ${If} $0 == ""
      !insertmacro UnselectSection ${SecAutorun}
    ${EndIf}
  ${EndIf}
FunctionEnd

; Only what setup put there goes: the folder stays while the user's
; OrvKey.ini or OrvKey.jpg are in it.
Section "Uninstall"
  Call un.CloseKeyboard
  Delete "$INSTDIR\orvkey.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD_PARTY_NOTICES.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\OrvKey.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "OrvKey"
  DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd
