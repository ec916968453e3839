#include "ScriptFile.h"

#include "Errors.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace framequill {
namespace {

// Closes a descriptor on every way out of a function.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    // Closing can report a late write failure (on network file systems), so the save checks it.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A symbolic link stays a link: the save replaces the file it points to.
std::filesystem::path ResolveTarget(const std::string& path) {
    std::error_code error;
    std::filesystem::path target(path);
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(target, error); ++hops) {
        const auto next = std::filesystem::read_symlink(target, error);
        if (error)
            break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

// A replaced file keeps its permissions; a new one gets what the user's umask allows.
mode_t ModeForTarget(const std::filesystem::path& target) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

Script SplitScriptText(std::string_view content) {
    Script lines;
    const std::size_t end = std::min(content.find('\0'), content.size());
    std::size_t at = 0;
    while (at < end) {
        std::size_t stop = at;
        while (stop < end && content[stop] != '\r' && content[stop] != '\n')
            ++stop;
        // Room for the "{}{}" that normalising may put in front, so that it never reallocates.
        auto& line = lines.emplace_back();
        line.reserve(stop - at + 4);
        line.assign(content.substr(at, stop - at));
        at = stop;
        if (at < end && content[at] == '\r')
            ++at;
        if (at < end && content[at] == '\n')
            ++at;
    }
    return lines;
}

std::string JoinScriptText(const Script& lines) {
    std::size_t total = 0;
    for (const auto& line : lines)
        total += line.size() + 2;
    std::string text;
    text.reserve(total);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

Script LoadScriptFile(const std::string& path) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        throw EFOpenError(path);
    std::string content(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == content.size())
            content.resize(content.size() + 65536);
        const ssize_t got = ::read(file.get(), content.data() + filled, content.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw EFOpenError(path);
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    content.resize(filled);
    return SplitScriptText(content);
}

void NormaliseScript(Script& lines) {
    for (auto& line : lines) {
        if (line.empty() || line.front() != '{')
            line.insert(0, "{}{}");
    }
}

std::string ProposeSaveName(std::string_view loadedPath) {
    std::string proposal(loadedPath);
    if (!loadedPath.ends_with(".sub"))
        proposal += ".sub";
    return proposal;
}

void SaveScriptFile(const std::string& path, const Script& lines) {
    const std::filesystem::path target = ResolveTarget(path);
    std::error_code error;
    if (path.empty() || std::filesystem::is_directory(target, error))
        throw EFCreateError(path);

    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    FileDescriptor file(::mkstemp(temporary.data()));
    if (file.get() < 0)
        throw EFCreateError(path);

    const auto removeTemporary = [&] {
        ::unlink(temporary.c_str());
    };
    const bool written = ::fchmod(file.get(), ModeForTarget(target)) == 0 &&
                         WriteAll(file.get(), JoinScriptText(lines)) && ::fsync(file.get()) == 0;
    if (!file.close() || !written) {
        removeTemporary();
        throw EWriteError();
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        removeTemporary();
        throw EFCreateError(path);
    }
}

} // namespace framequill
