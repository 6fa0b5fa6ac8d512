#pragma once
// Message pumping with a bounded wait (never a bare Sleep).
//
//   kit::Pump(100);                           // dispatch whatever arrives for 100 ms
//   kit::Drain();                             // dispatch until the queue is empty (paints too;
//                                             // at most about a second)
//   kit::PumpUntil([&]{ return done; }, 2000) // false on timeout
//
// With preTranslate, queued messages are offered to CWindowHostUI::TranslateMessage first, as
// the toolkit's modal loop does (Tab, Alt shortcuts); otherwise they go straight to
// TranslateMessage / DispatchMessage like the program's plain loop. WM_QUIT is dropped.
#include <windows.h>

#include <functional>

namespace kit {

void Pump(DWORD ms, bool preTranslate = false);
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, bool preTranslate = false);
void Drain(bool preTranslate = false);

} // namespace kit
