#pragma once

#include <memory>

namespace mjz {

// Tells code that calls out of an object (a listener, a delegate, a filter, a handler) whether
// the object survived the call: any such call may destroy the object that made it. The object
// owns one token and ends it first thing in its destructor, so that a handler of it still
// running further up the stack stops. The caller takes a Life before the call-out and asks it
// afterwards, touching nothing of the object once it has ended:
//     if (!alive_.Survives([&] { listener->OnClick(); }))
//         return;                            // the object is gone
// or, across several call-outs:
//     const mjz::AliveToken::Life life = alive_.GetLife();
//     ...; if (life.Ended()) return;
class AliveToken {
public:
    // The owner's life as seen by a caller; copies share it. One made by default has no owner
    // and has always ended.
    class Life {
    public:
        Life() = default;
        bool Ended() const { return alive_.expired(); }
        // For callers that keep the plain weak handle.
        operator std::weak_ptr<char>() const { return alive_; }

    private:
        friend class AliveToken;
        explicit Life(const std::shared_ptr<char>& alive) : alive_(alive) {}
        std::weak_ptr<char> alive_;
    };

    AliveToken() : alive_(std::make_shared<char>(0)) {}
    ~AliveToken() = default;
    AliveToken(const AliveToken&) = delete;
    AliveToken& operator=(const AliveToken&) = delete;

    Life GetLife() const { return Life(alive_); }
    // Ends every Life taken so far before the owner is gone, and every one taken later.
    void End() { alive_.reset(); }

    // Runs one call-out; false when it ended the token (and so, as a rule, its owner).
    template <typename Call>
    bool Survives(Call&& call) const
    {
        const Life life = GetLife();
        call();
        return !life.Ended();  // the token itself may be gone: only the copy is read
    }

private:
    std::shared_ptr<char> alive_;
};

}  // namespace mjz
