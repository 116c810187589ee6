// The one way into the Windows API for every file of the system.
// Wide-character API, no min/max macros, and none of the A/W switch macros
// whose names collide with methods of the class library (DrawText, GetObject,
// CreateWindow, LoadBitmap, ...): code calls the W functions by their full names.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef STRICT
#define STRICT
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef WINVER
#define WINVER 0x0601
#endif

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <mmsystem.h>
// COM and Active Accessibility: the library's objects answer COM interfaces
// (platform/core/ComObj.h) and accessibility clients (IAccessible, ROLE_SYSTEM_*).
#include <ole2.h>
#include <oleacc.h>

#undef DrawText
#undef DrawTextEx
#undef GetObject
#undef CreateWindow
#undef CreateWindowEx
#undef LoadBitmap
#undef LoadIcon
#undef LoadCursor
#undef LoadImage
#undef LoadString
#undef GetMessage
#undef PostMessage
#undef SendMessage
#undef DispatchMessage
#undef PeekMessage
#undef CreateFont
#undef CreateFontIndirect
#undef TextOut
#undef GetTextExtentPoint32
#undef GetTextMetrics
#undef EnumFonts
#undef RegisterClass
#undef UnregisterClass
#undef GetClassName
#undef GetClassInfo
#undef FindWindow
#undef SetWindowText
#undef GetWindowText
#undef GetWindowTextLength
#undef DefWindowProc
#undef CallWindowProc
#undef SetWindowLong
#undef GetWindowLong
#undef SetWindowLongPtr
#undef GetWindowLongPtr
#undef SetClassLong
#undef GetClassLong
#undef MessageBox
#undef CreateDC
#undef CopyFile
#undef DeleteFile
#undef MoveFile
#undef CreateFile
#undef FindResource
#undef LoadLibrary
#undef GetModuleFileName
#undef GetModuleHandle
#undef FormatMessage
#undef GetCurrentDirectory
#undef SetCurrentDirectory
#undef CreateEvent
#undef CreateMutex
#undef GetUserName
#undef GetComputerName
#undef RegCreateKeyEx
#undef RegOpenKeyEx
#undef RegQueryValueEx
#undef RegSetValueEx
#undef RegDeleteKey
#undef RegDeleteValue
#undef RegEnumKeyEx
#undef RegEnumValue
#undef RegQueryInfoKey
#undef CompareString
#undef GetLocaleInfo
#undef GetDateFormat
#undef GetTimeFormat
#undef GetCalendarInfo
#undef CharUpper
#undef CharLower
#undef CharUpperBuff
#undef CharLowerBuff
#undef IsCharAlpha
#undef IsCharAlphaNumeric
#undef IsCharUpper
#undef IsCharLower
#undef SystemParametersInfo
#undef GetTempPath
#undef GetTempFileName
#undef ExpandEnvironmentStrings
#undef GetEnvironmentVariable
#undef SetEnvironmentVariable
#undef OutputDebugString
#undef PlaySound
#undef ShellExecute
#undef EnumResourceNames
#undef UpdateResource
#undef GetTextFace
#undef GetCharWidth
#undef GetCharABCWidths
#undef ExtTextOut
#undef DrawState
#undef GrayString
#undef TabbedTextOut
#undef GetTabbedTextExtent
#undef EnumFontFamilies
#undef EnumFontFamiliesEx
#undef AddFontResource
#undef RemoveFontResource
#undef CreateDialog
#undef DialogBox
#undef RegisterWindowMessage
#undef RegisterClipboardFormat
#undef GetClipboardFormatName
#undef SetProp
#undef GetProp
#undef RemoveProp
#undef EnumProps
#undef SendMessageTimeout
#undef PostThreadMessage
#undef InsertMenu
#undef AppendMenu
#undef ModifyMenu
#undef GetMenuString
#undef GetMenuItemInfo
#undef SetMenuItemInfo
#undef InsertMenuItem
#undef LoadMenu
#undef LoadAccelerators
#undef TranslateAccelerator
#undef CreateAcceleratorTable
#undef CopyAcceleratorTable
#undef CharNext
#undef CharPrev
#undef GetKeyNameText
#undef MapVirtualKey
#undef VkKeyScan
#undef DeleteFile
#undef GetFileAttributes
#undef SetFileAttributes
#undef FindFirstFile
#undef FindNextFile
#undef CreateDirectory
#undef RemoveDirectory
#undef GetFullPathName
#undef Yield
#undef GetFreeSpace
#undef GetRoleText
#undef GetStateText
#undef CreateStdAccessibleProxy
#undef min
#undef max
