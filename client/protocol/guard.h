#pragma once
// Where Qt calls into the client (socket events, clicks, menus) nothing may be
// thrown back: the event is dropped and the table carries on.

#include <utility>

namespace client {

// Runs `event`; false when it threw.
template <typename Event>
bool guarded(Event&& event) noexcept {
    try {
        std::forward<Event>(event)();
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace client
