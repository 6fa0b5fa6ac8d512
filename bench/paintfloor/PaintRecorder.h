#pragma once
// The recording side of the paint floor: hooks on the GDI calls a paint makes (through this
// program's import table, and GetProcAddress for msimg32's "AlphaBlend" and "GradientFill").
// The hooks stay for the whole run (the toolkit looks "AlphaBlend" up once); they record only
// while a Recording lives.
//
//   PaintRecorder recorder;                 // once, before the toolkit paints
//   if (!recorder.Install()) return 1;
//   std::vector<Call> calls;
//   { Recording recording(calls); ::UpdateWindow(hwnd); }
#include <memory>
#include <vector>

#include "RecordedCall.h"
#include "kit/ImportPatch.h"

namespace paintfloor {

class PaintRecorder {
public:
    // False (with the call named on the output) when a call every paint makes cannot be hooked.
    bool Install();

private:
    std::vector<std::unique_ptr<kit::ImportPatch>> m_patches;
};

// Records the drawing calls made while it lives into the list.
class Recording {
public:
    explicit Recording(std::vector<Call>& calls);
    ~Recording();
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;
};

// The real entry point behind a hooked call, by name ("BitBlt", "AlphaBlend" ...).
void* OriginalEntry(const char* name);

template <class F>
F Original(const char* name)
{
    return reinterpret_cast<F>(OriginalEntry(name));
}

} // namespace paintfloor
