#pragma once

// Debug trace lines for an attached trace viewer. Lines are formatted with the
// msvcrt printf rules (in the wide function %s is a wide string, %S a narrow
// one), end in CR LF and go out through OutputDebugString.

// Formats a wide line and writes it; nothing is written for an empty result.
void TraceLog(const wchar_t* fmt, ...);
// The narrow twin (%s is a narrow string here).
void TraceLogA(const char* fmt, ...);

// Whether the trace viewer's window exists. Callers write lines only while this
// is true. The window lookup runs at most every 500 ms; the thread's last-error
// value is left as it was.
bool IsTraceViewerPresent();
