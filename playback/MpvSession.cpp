#include "MpvSession.h"

#include "script/Errors.h"

#include <mpv/client.h>

#include <utility>

namespace framequill {
namespace {

struct Option {
    const char* name;
    const char* value;
    const char* why;
};

// Everything mpv is told before it starts. Nothing of the user's mpv set-up may change how frames are
// shown or counted, and a chosen file may make mpv open nothing but itself.
const Option kOptions[] = {
    {"vo", "gpu,xv,x11", "a list, so that mpv falls back from GPU output on a software renderer to x11"},
    {"gpu-api", "opengl", "probing Vulkan on a machine without a GPU hangs or breaks the X connection"},
    {"input-cursor", "no", "mouse clicks over the picture go to the window, not to mpv"},
    {"input-vo-keyboard", "no", "keys go to the window, not to mpv"},
    {"osd-level", "0", "nothing drawn over the picture"},
    {"osc", "no", "no on-screen controller"},
    {"sid", "no", "no subtitles of the file's own over the picture"},
    {"audio-display", "no", "cover art of a sound file is not shown as a picture"},
    {"audio-fallback-to-null", "yes", "without a sound output a file still plays, silently"},
    {"keepaspect", "yes", "the picture keeps its shape"},
    {"video-unscaled", "no", "the picture fills the window it is given, which has its shape"},
    {"video-align-x", "-1", "from the display's left edge"},
    {"video-align-y", "-1", "from the display's top edge"},
    {"idle", "yes", "mpv waits with nothing open instead of ending"},
    {"keep-open", "yes", "the last picture stays at the end of the file"},
    {"pause", "yes", "a file opens paused"},
    {"hr-seek", "yes", "every seek lands on the requested picture"},
    {"vd-lavc-threads", "4", "a fixed count: each automatic decoder thread delays every seek by a frame"},
    {"config", "no", "no configuration files"},
    {"load-scripts", "no", "no user scripts"},
    {"ytdl", "no", "no web video fetcher"},
    {"load-stats-overlay", "no", "no built-in scripts"},
    {"load-osd-console", "no", "no built-in scripts"},
    {"load-auto-profiles", "no", "no built-in scripts"},
    {"input-default-bindings", "no", "no key bindings"},
    {"input-builtin-bindings", "no", "no key bindings"},
    {"access-references", "no", "a playlist may not name other files or addresses"},
    {"load-unsafe-playlists", "no", "a playlist may not name other files or addresses"},
    {"demuxer-lavf-o", "protocol_whitelist=file", "the demuxer reads local files only"},
    {"autoload-files", "no", "no files beside the chosen one"},
    {"resume-playback", "no", "no remembered positions"},
    {"use-filedir-conf", "no", "no configuration beside the file"},
};

void Check(int status) {
    if (status < 0)
        throw Error(mpv_error_string(status));
}

} // namespace

MpvSession::MpvSession(std::int64_t windowId, std::function<void()> wakeup) : wakeup_(std::move(wakeup)) {
    handle_ = mpv_create();
    if (!handle_)
        throw Error("The media system could not be started");
    try {
        Check(mpv_set_option_string(handle_, "wid", std::to_string(windowId).c_str()));
        for (const auto& option : kOptions)
            Check(mpv_set_option_string(handle_, option.name, option.value));
        Check(mpv_initialize(handle_));
        Check(mpv_observe_property(handle_, 0, "eof-reached", MPV_FORMAT_FLAG));
        Check(mpv_observe_property(handle_, 0, "time-pos", MPV_FORMAT_DOUBLE));
    } catch (...) {
        mpv_terminate_destroy(handle_);
        throw;
    }
    mpv_set_wakeup_callback(
        handle_, [](void* self) { static_cast<MpvSession*>(self)->wakeup_(); }, this);
}

MpvSession::~MpvSession() {
    // The callback must not fire into a half-destroyed owner.
    mpv_set_wakeup_callback(handle_, nullptr, nullptr);
    mpv_terminate_destroy(handle_);
}

void MpvSession::Command(const std::vector<std::string>& arguments) {
    std::vector<const char*> argv;
    for (const auto& argument : arguments)
        argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    Check(mpv_command(handle_, argv.data()));
}

void MpvSession::SetOption(const std::string& name, const std::string& value) {
    Check(mpv_set_property_string(handle_, name.c_str(), value.c_str()));
}

void MpvSession::SetFlag(const std::string& name, bool value) {
    int flag = value ? 1 : 0;
    Check(mpv_set_property(handle_, name.c_str(), MPV_FORMAT_FLAG, &flag));
}

bool MpvSession::Flag(const std::string& name) const {
    int flag = 0;
    return mpv_get_property(handle_, name.c_str(), MPV_FORMAT_FLAG, &flag) >= 0 && flag != 0;
}

std::optional<double> MpvSession::Number(const std::string& name) const {
    double value = 0;
    if (mpv_get_property(handle_, name.c_str(), MPV_FORMAT_DOUBLE, &value) < 0)
        return std::nullopt;
    return value;
}

std::optional<std::int64_t> MpvSession::Integer(const std::string& name) const {
    std::int64_t value = 0;
    if (mpv_get_property(handle_, name.c_str(), MPV_FORMAT_INT64, &value) < 0)
        return std::nullopt;
    return value;
}

mpv_event& MpvSession::NextEvent(std::chrono::milliseconds timeout) {
    return *mpv_wait_event(handle_, static_cast<double>(timeout.count()) / 1000.0);
}

} // namespace framequill
