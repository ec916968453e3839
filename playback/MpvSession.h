#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct mpv_handle;
struct mpv_event;

namespace framequill {

// One libmpv instance, locked down and drawing into a native window. Owns the handle; every mpv call's
// return code is checked and a failure thrown as Error with mpv's own description.
class MpvSession {
public:
    // windowId: the native window mpv draws into. wakeup: called from any of mpv's threads when events
    // are waiting; it must only queue work for the UI thread.
    MpvSession(std::int64_t windowId, std::function<void()> wakeup);
    ~MpvSession();
    MpvSession(const MpvSession&) = delete;
    MpvSession& operator=(const MpvSession&) = delete;

    void Command(const std::vector<std::string>& arguments);
    void SetOption(const std::string& name, const std::string& value);
    void SetFlag(const std::string& name, bool value);
    bool Flag(const std::string& name) const;
    std::optional<double> Number(const std::string& name) const;
    std::optional<std::int64_t> Integer(const std::string& name) const;

    // The next event, waiting at most timeout; a MPV_EVENT_NONE event when nothing came.
    mpv_event& NextEvent(std::chrono::milliseconds timeout);

private:
    mpv_handle* handle_ = nullptr;
    std::function<void()> wakeup_;
};

} // namespace framequill
