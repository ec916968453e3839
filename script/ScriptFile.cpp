#include "ScriptFile.h"

#include "Errors.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <random>
#include <string_view>
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

// A new file gets what the user's umask allows.
mode_t ModeForNewFile() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A name beside the target short enough for any folder, whatever the target's own name's length.
std::string ShortNameIn(const std::filesystem::path& folder) {
    static std::mt19937 random(std::random_device{}());
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = ".fq";
    for (int i = 0; i < 8; ++i)
        name += letters[random() % (sizeof letters - 1)];
    return (folder / name).string();
}

// A file for the new text beside the target. Where the file system allows it, the file has no name until
// it is complete, so that a program killed in the middle of a save leaves nothing behind.
struct Temporary {
    FileDescriptor file;
    std::string name; // empty while the file has none
};

// Makes something under a short name beside the target with `make`, trying other names while the one
// tried is taken; gives the name it made, or nothing when `make` failed for another reason.
template <typename Make>
std::optional<std::string> UnderFreeShortName(const std::filesystem::path& folder, Make make) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = ShortNameIn(folder);
        if (make(name))
            return name;
        if (errno != EEXIST)
            break;
    }
    return std::nullopt;
}

Temporary CreateTemporary(const std::filesystem::path& folder, mode_t mode) {
    const int unnamed = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (unnamed >= 0)
        return {FileDescriptor(unnamed), {}};
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return {FileDescriptor(-1), {}};
    int named = -1;
    auto name = UnderFreeShortName(folder, [&](const std::string& tried) {
        named = ::open(tried.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
        return named >= 0;
    });
    return {FileDescriptor(named), name ? std::move(*name) : std::string()};
}

// Gives an unnamed temporary file a short name beside the target; false when it cannot. The link through
// /proc works for every user; naming the descriptor itself needs a privilege, so it is the fallback.
bool NameTemporary(Temporary& temporary, const std::filesystem::path& folder) {
    const std::string procPath = "/proc/self/fd/" + std::to_string(temporary.file.get());
    auto name = UnderFreeShortName(folder, [&](const std::string& tried) {
        if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, tried.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        return errno != EEXIST &&
               ::linkat(temporary.file.get(), "", AT_FDCWD, tried.c_str(), AT_EMPTY_PATH) == 0;
    });
    if (!name)
        return false;
    temporary.name = std::move(*name);
    return true;
}

bool WriteAt(int fd, std::string_view bytes) {
    return ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, bytes) &&
           ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 && ::fsync(fd) == 0;
}

std::optional<std::string> ReadAll(int fd) {
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return content;
        content.append(buffer, static_cast<std::size_t>(got));
    }
}

// Where no new file can be made beside the target (a folder the user may not write to), the target
// itself is rewritten; its old bytes are kept in memory and put back if the new ones do not fit.
void RewriteInPlace(const std::string& path, const std::filesystem::path& target, const std::string& text) {
    FileDescriptor file(::open(target.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        throw EFCreateError(path);
    const auto old = ReadAll(file.get());
    if (!old)
        throw EFCreateError(path);
    if (!WriteAt(file.get(), text)) {
        WriteAt(file.get(), *old);
        throw EWriteError();
    }
    if (!file.close())
        throw EWriteError();
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
    // Only a regular file is read: a FIFO or a device would block the program or never end, so the
    // kind is checked before and after an open that cannot wait.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        throw EFOpenError(path);
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        throw EFOpenError(path);
    auto content = ReadAll(file.get());
    if (!content)
        throw EFOpenError(path);
    return SplitScriptText(*content);
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
    if (path.empty())
        throw EFCreateError(path);
    const std::filesystem::path target = ResolveTarget(path);
    // Only a regular file is ever replaced, and never one that is write-protected, even for root: a
    // FIFO, a device or a folder under the chosen name stays what it is.
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists &&
        (!S_ISREG(existing.st_mode) || (existing.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0))
        throw EFCreateError(path);

    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    const mode_t mode = exists ? existing.st_mode & 07777 : ModeForNewFile();
    const std::string text = JoinScriptText(lines);
    Temporary temporary = CreateTemporary(folder, mode);
    if (temporary.file.get() < 0) {
        if (exists && (errno == EACCES || errno == EPERM)) {
            RewriteInPlace(path, target, text);
            return;
        }
        throw EFCreateError(path);
    }
    const auto removeTemporary = [&] {
        if (!temporary.name.empty())
            ::unlink(temporary.name.c_str());
    };
    if (!(::fchmod(temporary.file.get(), mode) == 0 && WriteAll(temporary.file.get(), text) &&
          ::fsync(temporary.file.get()) == 0)) {
        removeTemporary();
        throw EWriteError();
    }
    if (temporary.name.empty() && !NameTemporary(temporary, folder))
        throw EFCreateError(path);
    if (!temporary.file.close()) {
        removeTemporary();
        throw EWriteError();
    }
    if (::rename(temporary.name.c_str(), target.c_str()) != 0) {
        removeTemporary();
        throw EFCreateError(path);
    }
}

} // namespace framequill
