#pragma once

#include <windows.h>

#include <cstddef>
#include <deque>

// Paces the sign-in library's notices to the provider's event window (the account list changed,
// a ticket to renew). Each one costs a read of the library's account list and a rebuild of the
// dialog's rows, or a sign-in request, and a posted notice is taken before the user's input and
// before painting: a library that posts them by the hundred would keep the dialog from answering
// for seconds. A notice alone is served at once; notices that come in a burst (within kSpacingMs
// of the end of the last one served) are queued, each distinct one once, and served one at a time
// from a timer, which the system delivers only after input and painting.
class SSONoticeThrottle {
public:
    struct Notice {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
        bool operator==(const Notice& other) const
        {
            return message == other.message && wParam == other.wParam && lParam == other.lParam;
        }
    };

    static constexpr DWORD kSpacingMs = 50;
    // Distinct notices kept waiting; a flood beyond them is dropped.
    static constexpr size_t kMaxWaiting = 64;

    // True: serve the notice now. False: it waits (or, a repeat of a waiting one or beyond the
    // bound, is dropped) for Next.
    bool Admit(const Notice& notice, DWORD now);
    // The next waiting notice, to be served now; false when none waits.
    bool Next(Notice& notice);
    // A notice has been served (however long that took).
    void Finished(DWORD now);
    bool Waiting() const { return !waiting_.empty(); }

private:
    std::deque<Notice> waiting_;
    bool serving_ = false;
    bool served_ = false;
    DWORD lastFinished_ = 0;
};
