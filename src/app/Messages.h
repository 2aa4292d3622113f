// The task window's message protocol: custom messages, commands and the timer,
// plus the few standard message numbers that portable code handles.
#pragma once

#include "ui/TrayHost.h"  // the tray's message and commands, the warning dialog's title

#include <cstdint>

inline constexpr std::uint32_t WM_APPLY_SETTINGS = 0x0601;
inline constexpr std::uint32_t WM_REGISTER_CONFIG_WINDOW = 0x0602;
inline constexpr std::uint32_t WM_APPLY_PROGRESS = 0x0611;
inline constexpr std::uint32_t WM_SET_REPORT_RATE = 0x0613;
inline constexpr std::uint32_t WM_ASSIGNMENT_RESET = 0x0614;
inline constexpr std::uint32_t WM_RESTORE_FACTORY = 0x0653;

inline constexpr std::uintptr_t TIMER_DEVICE_RETRY = 100;
inline constexpr std::uint32_t kDeviceRetryPeriodMs = 100;
// A failed addition of the tray icon is tried again after 1 s, then after twice the last wait
// up to 60 s, for at most 10 minutes from the first failure.
inline constexpr std::uintptr_t TIMER_TRAY_RETRY = 101;
inline constexpr std::uint32_t kTrayRetryFirstMs = 1000;
inline constexpr std::uint32_t kTrayRetryLongestMs = 60000;
inline constexpr std::uint32_t kTrayRetryForMs = 600000;

inline constexpr char16_t kTaskWindowTitle[] = u"OrvexK7_Setting";
inline constexpr char16_t kMutexName[] = u"ORVEXK7_MUTEX";

// Standard message numbers; guarded so that Win32 sources that include
// <windows.h> first keep the platform's own definitions.
#ifndef WM_CREATE
inline constexpr std::uint32_t WM_CREATE = 0x0001;
#endif
#ifndef WM_DESTROY
inline constexpr std::uint32_t WM_DESTROY = 0x0002;
#endif
#ifndef WM_NCDESTROY
inline constexpr std::uint32_t WM_NCDESTROY = 0x0082;
#endif
#ifndef WM_CLOSE
inline constexpr std::uint32_t WM_CLOSE = 0x0010;
#endif
#ifndef WM_TIMER
inline constexpr std::uint32_t WM_TIMER = 0x0113;
#endif
#ifndef WM_COMMAND
inline constexpr std::uint32_t WM_COMMAND = 0x0111;
#endif
#ifndef WM_DEVICECHANGE
inline constexpr std::uint32_t WM_DEVICECHANGE = 0x0219;
#endif
#ifndef WM_WTSSESSION_CHANGE
inline constexpr std::uint32_t WM_WTSSESSION_CHANGE = 0x02B1;
#endif
#ifndef WM_LBUTTONDBLCLK
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
#endif
#ifndef WM_RBUTTONDOWN
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
#endif
#ifndef DBT_DEVICEARRIVAL
inline constexpr std::uintptr_t DBT_DEVICEARRIVAL = 0x8000;
#endif
#ifndef DBT_DEVICEREMOVECOMPLETE
inline constexpr std::uintptr_t DBT_DEVICEREMOVECOMPLETE = 0x8004;
#endif
