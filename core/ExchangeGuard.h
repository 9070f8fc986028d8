#pragma once
// One exchange at a time per device channel.
//
// Every wait inside a device exchange runs the event loop, so a timer, a hotkey or a click can
// start another exchange on the same channel while the first one waits for its reply. The device
// answers only the last request it got, so an interleaved request corrupts the first exchange
// (a histogram request inside a parameter write breaks the write frame, and the write reports
// nothing). The guard marks a channel busy for the length of an exchange (a request with its
// reply, or a whole long transfer); work started meanwhile is either skipped (timer polls) or
// queued and run right after the exchange ends (commands started by the user, a hotkey or a
// controller button). Everything runs on the one thread; nothing here locks.

#include <QString>

#include <array>
#include <deque>
#include <functional>

namespace core {

enum class Channel { Tracker = 0, Indicator = 1 };

class ExchangeGuard {
public:
    ExchangeGuard() = default;
    ExchangeGuard(const ExchangeGuard&) = delete;
    ExchangeGuard& operator=(const ExchangeGuard&) = delete;

    // True while an exchange holds the channel.
    bool Busy(Channel channel) const;

    // Runs `work` at once when the channel is free. Otherwise queues it (first in, first out) to
    // run right after the exchange in progress ends, and returns at once. Returns true when the
    // work ran now.
    bool RunOrDefer(Channel channel, std::function<void()> work);

    // Queues `work` when the channel is busy and returns true; returns false (nothing queued,
    // nothing run) when it is free, so the caller goes on at once.
    bool DeferIfBusy(Channel channel, std::function<void()> work);

    // Number of queued works for a channel.
    std::size_t Pending(Channel channel) const;

    // Drops every queued work (the core is going away).
    void DropPending();

    // Holds a channel for its lifetime. The channel must be free (check Busy() or use
    // RunOrDefer()). When it ends, the queued works of the channel run in order, each holding the
    // channel in turn as it needs it, until the queue is empty or the core dropped it.
    class Scope {
    public:
        Scope(ExchangeGuard& guard, Channel channel);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        ExchangeGuard& guard_;
        Channel channel_;
    };

    // Called (when set) every time a channel becomes free, before its queue runs; the core frees
    // channels that were retired while they were busy.
    std::function<void(Channel)> OnReleased;

private:
    struct State {
        bool busy = false;
        bool draining = false;
        std::deque<std::function<void()>> queue;
    };
    State& state(Channel c) { return states_[static_cast<int>(c)]; }
    const State& state(Channel c) const { return states_[static_cast<int>(c)]; }
    void Drain(Channel channel);

    std::array<State, 2> states_{};
};

} // namespace core
