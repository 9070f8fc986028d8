#include "core/ExchangeGuard.h"

#include <utility>

namespace core {

bool ExchangeGuard::Busy(Channel channel) const {
    return state(channel).busy;
}

std::size_t ExchangeGuard::Pending(Channel channel) const {
    return state(channel).queue.size();
}

bool ExchangeGuard::RunOrDefer(Channel channel, std::function<void()> work) {
    State& s = state(channel);
    // While the queue drains, newcomers line up behind the works already waiting.
    if (s.busy || s.draining) {
        s.queue.push_back(std::move(work));
        return false;
    }
    work();
    return true;
}

bool ExchangeGuard::DeferIfBusy(Channel channel, std::function<void()> work) {
    State& s = state(channel);
    if (!s.busy)
        return false;
    s.queue.push_back(std::move(work));
    return true;
}

void ExchangeGuard::DropPending() {
    for (State& s : states_)
        s.queue.clear();
}

void ExchangeGuard::Drain(Channel channel) {
    State& s = state(channel);
    if (s.draining)
        return; // an outer Drain of this channel goes on with the queue
    s.draining = true;
    while (!s.busy && !s.queue.empty()) {
        std::function<void()> work = std::move(s.queue.front());
        s.queue.pop_front();
        // The work runs as if it had just been started: it holds the channel through its own
        // Scope. Flag off meanwhile so that its own commands are not queued behind it.
        s.draining = false;
        work();
        s.draining = true;
    }
    s.draining = false;
}

ExchangeGuard::Scope::Scope(ExchangeGuard& guard, Channel channel)
    : guard_(guard), channel_(channel) {
    guard_.state(channel_).busy = true;
}

ExchangeGuard::Scope::~Scope() {
    guard_.state(channel_).busy = false;
    if (guard_.OnReleased)
        guard_.OnReleased(channel_);
    guard_.Drain(channel_);
}

} // namespace core
