#include "login/SSONoticeThrottle.h"

#include <algorithm>

bool SSONoticeThrottle::Admit(const Notice& notice, DWORD now)
{
    // 1. Alone: nothing waits or is being served, and the last one ended a while ago.
    if (waiting_.empty() && !serving_ && (!served_ || now - lastFinished_ >= kSpacingMs)) {
        serving_ = true;
        return true;
    }
    // 2. In a burst: behind the others, once.
    if (waiting_.size() < kMaxWaiting && std::find(waiting_.begin(), waiting_.end(), notice) == waiting_.end())
        waiting_.push_back(notice);
    return false;
}

bool SSONoticeThrottle::Next(Notice& notice)
{
    if (waiting_.empty() || serving_)
        return false;
    notice = waiting_.front();
    waiting_.pop_front();
    serving_ = true;
    return true;
}

void SSONoticeThrottle::Finished(DWORD now)
{
    serving_ = false;
    served_ = true;
    lastFinished_ = now;
}
