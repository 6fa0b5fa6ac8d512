#pragma once

#include <algorithm>
#include <cstdint>
#include <list>

#include "login/LoginEvent.h"

// The producer side of an event interface, in slot order.
struct IEventProducer {
    virtual void AddHandler(IEvent* handler, uint32_t tag) = 0;
    virtual void RemoveHandler(IEvent* handler) = 0;
    virtual void SetHandlerValue(uint32_t oldTag, uint32_t newTag) = 0;
    virtual ~IEventProducer() = default;
};

struct HandlerEntry {
    IEvent* handler;
    uint32_t tag;   // stored and rewritable; nothing reads it
};

// Keeps the handlers of one event interface, oldest first, and delivers events to them newest
// first from a snapshot, so that handlers may add and remove handlers (themselves included)
// while an event is delivered: a handler removed meanwhile is skipped, one added meanwhile is
// not called for that event.
template <class TEvent, class TBase, int Id>
class IEventProducerImpl : public TBase {
public:
    // Adding again moves the handler to the newest place; it is never listed twice.
    void AddHandler(IEvent* handler, uint32_t tag) override
    {
        RemoveHandler(handler);
        handlers_.push_back(HandlerEntry{handler, tag});
    }

    void RemoveHandler(IEvent* handler) override
    {
        handlers_.remove_if([handler](const HandlerEntry& e) { return e.handler == handler; });
    }

    void SetHandlerValue(uint32_t oldTag, uint32_t newTag) override
    {
        for (HandlerEntry& e : handlers_) {
            if (e.tag == oldTag)
                e.tag = newTag;
        }
    }

    size_t HandlerCount() const { return handlers_.size(); }

protected:
    // Calls call(TEvent*) for each handler, newest first.
    template <class Call>
    void Fire(Call&& call)
    {
        std::list<HandlerEntry> snapshot(handlers_);
        while (!snapshot.empty()) {
            IEvent* const handler = snapshot.back().handler;
            snapshot.pop_back();
            TEvent* const target = static_cast<TEvent*>(handler);
            const bool stillRegistered = std::any_of(handlers_.begin(), handlers_.end(),
                [handler](const HandlerEntry& e) { return e.handler == handler; });
            if (stillRegistered && target)
                call(target);
        }
    }

private:
    std::list<HandlerEntry> handlers_;
};
