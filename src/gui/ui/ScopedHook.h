#pragma once

#include <utility>

namespace tidewell {

// Puts a hook into its slot while it lives (tests answer the program's dialogs
// this way), and the previous hook back when it goes, so scopes nest. Each
// hook's scoped class derives from this and hands over the slot in the source
// file that owns it, so the slot stays private to that file.
template <typename Hook> class ScopedHook {
public:
    ~ScopedHook() { slot_ = std::move(previous_); }
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;

protected:
    ScopedHook(Hook& slot, Hook hook) : slot_(slot), previous_(std::exchange(slot, std::move(hook))) {}

private:
    Hook& slot_;
    Hook previous_;
};

} // namespace tidewell
