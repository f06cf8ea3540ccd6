// The contract between the program and a receiver plug-in (DCD.dll), for the program and for
// anyone writing a plug-in: the exports, the message a plug-in sends for each button press,
// the record it points to and what repeat counts mean. Portable, so the program's code
// handling and the plug-ins share one definition. docs/plugins.md tells the whole story.
//
// A plug-in is a 32-bit DLL named DCD.dll in the program's folder that exports these five
// functions under their plain names (a MinGW .def file maps "Open = Open@12" and so on):
//
//   int32_t __stdcall Open(int32_t, int32_t window, int32_t);  // (0, main window, 0), once
//   int32_t __stdcall Start();                                 // begin sending buttons
//   int32_t __stdcall Setup();                                 // show a modal settings dialog
//   int32_t __stdcall Stop();                                  // nothing may be sent after it
//   int32_t __stdcall Close();                                 // release everything
//
// Over one run the program calls Open, Start, any number of Setup, Stop, Close, all on its
// window's thread; their results are ignored. A DLL without one of them is not used at all.
// No exception may leave an export.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zaprelay::dcd {

// Sent (SendMessage, from any thread) to the window given to Open: WParam = address of the
// record, valid until SendMessage returns; LParam = repeat count.
inline constexpr uint32_t kCodeReceived = 0x0401;  // WM_USER + 1

// Bytes 0..63 belong to the plug-in; the code text starts at byte 64 and ends at the first
// zero byte or at the end of the record. The same button gives the same text every time;
// a code too long for the field is dropped, never cut (a cut code could match another).
inline constexpr std::size_t kCodeRecordSize = 188;
inline constexpr std::size_t kCodeTextOffset = 64;
inline constexpr std::size_t kCodeTextSize = kCodeRecordSize - kCodeTextOffset;  // 124

// Repeat counts: 0 for a fresh press, 1, 2, ... while the button is held; negative values
// are ignored. Held-button repeats act on the volume up and down commands only; while codes
// are being paired with commands, counts above kMaxPairingRepeat are ignored. A release sends
// nothing.
inline constexpr int32_t kMaxPairingRepeat = 100;

}  // namespace zaprelay::dcd
