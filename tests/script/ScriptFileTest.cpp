#include "script/ScriptFile.h"
#include "script/Errors.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace framequill {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

TEST(ScriptText, SplitsOnEveryTerminatorAndStopsAtNul) {
    const std::pair<std::string, Script> cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"\r\n", {""}},
        {"\n\n", {"", ""}},
        {"a\nb\n", {"a", "b"}},
        {"  a \t\r\n", {"  a \t"}},
        {"ab\0cd\nef"s, {"ab"}},
        {"ab\n\0cd"s, {"ab"}},
        {"\0ab"s, {}},
        {"\xef\xbb\xbfHi\r\n", {"\xef\xbb\xbfHi"}},
    };
    for (const auto& [content, lines] : cases) {
        SCOPED_TRACE(testing::PrintToString(content));
        EXPECT_EQ(SplitScriptText(content), lines);
    }
}

TEST(ScriptText, JoinPutsCrLfAfterEveryLine) {
    EXPECT_EQ(JoinScriptText({}), "");
    EXPECT_EQ(JoinScriptText({""}), "\r\n");
    EXPECT_EQ(JoinScriptText({"{}{}a", "b"}), "{}{}a\r\nb\r\n");
}

TEST(ScriptText, NormalisePrefixesEveryLineThatDoesNotStartWithABrace) {
    Script lines{"", "   ", " {1}{2}x", "{1}{2}x", "{x", "Hello", "\xef\xbb\xbfHi", "}"};
    NormaliseScript(lines);
    EXPECT_EQ(lines, (Script{"{}{}", "{}{}   ", "{}{} {1}{2}x", "{1}{2}x", "{x", "{}{}Hello",
                             "{}{}\xef\xbb\xbfHi", "{}{}}"}));
    const Script once = lines;
    NormaliseScript(lines);
    EXPECT_EQ(lines, once);
}

TEST(ScriptText, ProposesTheLoadedNameWithSub) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ".sub"},
        {"a", "a.sub"},
        {"abc", "abc.sub"},
        {".sub", ".sub"},
        {"/m/movie.txt", "/m/movie.txt.sub"},
        {"/m/movie.sub", "/m/movie.sub"},
        {"/m/movie.SUB", "/m/movie.SUB.sub"},
        {"/m/movie.Sub", "/m/movie.Sub.sub"},
    };
    for (const auto& [path, proposal] : cases)
        EXPECT_EQ(ProposeSaveName(path), proposal) << "path: " << path;
}

// A folder of its own for each test, removed afterwards whatever its permissions.
class ScriptFileOnDisk : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "framequill-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
        fs::permissions(folder_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                     fs::perms::others_read | fs::perms::others_exec);
    }
    void TearDown() override {
        fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder_);
    }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder_;
};

TEST_F(ScriptFileOnDisk, AnyBytesLoadAndSaveBackUnchanged) {
    const std::string longLine(100000, 'x');
    const std::string contents[] = {
        "{}{}caf\xe9\r\n{1}{2}\xb9\xe6\r\n",     // Latin-1, CP1250
        "{}{}\xef\xbb\xbf\xc3\xa9t\xc3\xa9\r\n", // UTF-8 after a byte-order mark
        "{}{}\x80\x81\xfe\xff\xc3(\r\n",         // valid in no encoding
        "{}{}" + longLine + "\r\n{}{}short\r\n", // far beyond 4095 bytes
        "",
    };
    for (const auto& content : contents) {
        const auto source = Path("in.txt"), saved = Path("out.sub");
        Write(source, content);
        Script lines = LoadScriptFile(source);
        NormaliseScript(lines);
        SaveScriptFile(saved, lines);
        EXPECT_EQ(Read(saved), content);
        EXPECT_EQ(LoadScriptFile(saved), lines);
    }
}

TEST_F(ScriptFileOnDisk, LoadingAFileThatIsNotThereOrNotAFileFails) {
    for (const auto& path : {Path("missing.txt"), folder_.string(), Path("")}) {
        try {
            LoadScriptFile(path);
            ADD_FAILURE() << "loaded " << path;
        } catch (const EFOpenError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file " + path);
        }
    }
}

TEST_F(ScriptFileOnDisk, SaveReplacesAnExistingFileAndKeepsItsPermissions) {
    const auto target = Path("script.sub");
    Write(target, "old content that is longer than the new one\r\n");
    ::chmod(target.c_str(), 0640);
    SaveScriptFile(target, {"{1}{2}new"});
    EXPECT_EQ(Read(target), "{1}{2}new\r\n");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(), std::vector<std::string>{"script.sub"});
}

TEST_F(ScriptFileOnDisk, SaveThroughALinkReplacesTheFileItNames) {
    const auto real = Path("real.sub"), link = Path("link.sub");
    Write(real, "old\r\n");
    fs::create_symlink("real.sub", link);
    SaveScriptFile(link, {"new"});
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Read(real), "new\r\n");
}

TEST_F(ScriptFileOnDisk, SavingOverAFolderFailsAndLeavesIt) {
    const auto target = Path("a-folder");
    fs::create_directory(target);
    try {
        SaveScriptFile(target, {"x"});
        ADD_FAILURE() << "saved over a folder";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + target);
    }
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(Entries(), std::vector<std::string>{"a-folder"});
}

// Runs a save in a child process so that it can lose root's right to write anywhere or get a small file
// size limit without touching the test process. Returns what the save threw, or "" on success.
std::string SaveInChild(const std::string& path, const Script& lines, bool asNobody, rlim_t fileSizeLimit) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        std::string outcome;
        if (asNobody && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            outcome = "cannot drop root";
        if (fileSizeLimit != RLIM_INFINITY) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{fileSizeLimit, fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (outcome.empty()) {
            try {
                SaveScriptFile(path, lines);
            } catch (const std::exception& e) {
                outcome = e.what();
            }
        }
        [[maybe_unused]] auto written = ::write(pipeEnds[1], outcome.data(), outcome.size());
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string outcome;
    char buffer[256];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        outcome.append(buffer, static_cast<std::size_t>(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return outcome;
}

TEST_F(ScriptFileOnDisk, WritableFileInAFolderWithoutWritePermissionIsRewrittenInPlace) {
    const auto target = Path("script.sub");
    Write(target, "precious\r\n");
    ::chmod(target.c_str(), 0666);
    ::chmod(folder_.c_str(), 0555);
    EXPECT_EQ(SaveInChild(target, {"new"}, true, RLIM_INFINITY), "");
    EXPECT_EQ(Read(target), "new\r\n");
    // A text that does not fit puts the old bytes back.
    EXPECT_EQ(SaveInChild(target, Script(1000, std::string(100, 'x')), true, 4096), "Stream write error");
    EXPECT_EQ(Read(target), "new\r\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"script.sub"});
}

TEST_F(ScriptFileOnDisk, NewFileInAFolderWithoutWritePermissionCannotBeCreated) {
    ::chmod(folder_.c_str(), 0555);
    const auto target = Path("new.sub");
    EXPECT_EQ(SaveInChild(target, {"new"}, true, RLIM_INFINITY), "Cannot create file " + target);
    EXPECT_TRUE(Entries().empty());
}

TEST_F(ScriptFileOnDisk, WriteProtectedFileIsLeftAsItWasForRootAndOwnerAlike) {
    const auto target = Path("script.sub");
    for (const bool asNobody : {false, true}) {
        Write(target, "precious\r\n");
        ::chown(target.c_str(), asNobody ? 65534 : ::geteuid(), asNobody ? 65534 : ::getegid());
        ::chmod(target.c_str(), 0444);
        EXPECT_EQ(SaveInChild(target, {"new"}, asNobody, RLIM_INFINITY), "Cannot create file " + target)
            << (asNobody ? "owner" : "root or the test's user");
        EXPECT_EQ(Read(target), "precious\r\n");
        EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        ::chmod(target.c_str(), 0644);
        fs::remove(target);
    }
}

// Special files made for the test: a FIFO, a socket and, for root, a device node like /dev/null, each
// also behind a link. None may block, be read as a script, or be replaced by a save.
class SpecialFiles : public ScriptFileOnDisk {
protected:
    void SetUp() override {
        ScriptFileOnDisk::SetUp();
        ASSERT_EQ(::mkfifo(Path("fifo").c_str(), 0666), 0);
        socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const auto socketPath = Path("socket");
        ASSERT_LT(socketPath.size(), sizeof address.sun_path);
        std::strcpy(address.sun_path, socketPath.c_str());
        ASSERT_EQ(::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        names_ = {"fifo", "socket"};
        if (::mknod(Path("null").c_str(), S_IFCHR | 0666, ::makedev(1, 3)) == 0)
            names_.push_back("null");
        for (const auto& name : std::vector<std::string>(names_)) {
            fs::create_symlink(name, Path("link-to-" + name));
            names_.push_back("link-to-" + name);
        }
    }
    void TearDown() override {
        ::close(socket_);
        ScriptFileOnDisk::TearDown();
    }
    std::vector<std::string> names_;
    int socket_ = -1;
};

TEST_F(SpecialFiles, LoadingOneFailsAtOnce) {
    for (const auto& name : names_) {
        try {
            LoadScriptFile(Path(name));
            ADD_FAILURE() << "loaded " << name;
        } catch (const EFOpenError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file " + Path(name));
        }
    }
}

TEST_F(SpecialFiles, SavingOntoOneIsRefusedAndLeavesIt) {
    for (const auto& name : names_) {
        try {
            SaveScriptFile(Path(name), {"x"});
            ADD_FAILURE() << "saved onto " << name;
        } catch (const EFCreateError& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot create file " + Path(name));
        }
    }
    EXPECT_TRUE(fs::is_fifo(Path("fifo")));
    EXPECT_TRUE(fs::is_socket(Path("socket")));
    if (fs::exists(Path("null"))) {
        EXPECT_TRUE(fs::is_character_file(Path("null")));
    }
    EXPECT_EQ(Entries().size(), names_.size());
}

TEST_F(ScriptFileOnDisk, NamesUpToTheLongestTheSystemAllowsSave) {
    for (const std::size_t length : {248u, 254u, 255u}) {
        const auto target = Path(std::string(length - 4, 'n') + ".sub");
        SaveScriptFile(target, {"a"});
        SaveScriptFile(target, {"b"});
        EXPECT_EQ(Read(target), "b\r\n") << length;
        fs::remove(target);
    }
    EXPECT_TRUE(Entries().empty());
}

TEST_F(ScriptFileOnDisk, SaveKilledHalfwayLeavesNoTemporaryFileBehind) {
    const auto target = Path("script.sub");
    Write(target, "precious\r\n");
    const Script big(200000, std::string(200, 'x'));
    for (const int afterMs : {5, 20, 60}) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (;;)
                SaveScriptFile(target, big);
        }
        ::usleep(static_cast<useconds_t>(afterMs * 1000));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        EXPECT_EQ(Entries(), std::vector<std::string>{"script.sub"}) << "killed after " << afterMs << " ms";
        const auto left = Read(target);
        EXPECT_TRUE(left == "precious\r\n" || left == JoinScriptText(big));
    }
}

TEST_F(ScriptFileOnDisk, SaveThatRunsOutOfRoomFailsAndLeavesTheOldFile) {
    const auto target = Path("script.sub");
    Write(target, "precious\r\n");
    const Script big(1000, std::string(100, 'x'));
    EXPECT_EQ(SaveInChild(target, big, false, 4096), "Stream write error");
    EXPECT_EQ(Read(target), "precious\r\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"script.sub"});
}

TEST_F(ScriptFileOnDisk, FailedSaveOfANewFileLeavesNothingBehind) {
    const auto target = Path("new.sub");
    EXPECT_EQ(SaveInChild(target, Script(1000, std::string(100, 'x')), false, 1024), "Stream write error");
    EXPECT_TRUE(Entries().empty());
}

TEST_F(ScriptFileOnDisk, EmptyScriptSavesZeroBytes) {
    const auto target = Path("empty.sub");
    SaveScriptFile(target, {});
    EXPECT_TRUE(fs::exists(target));
    EXPECT_EQ(fs::file_size(target), 0u);
}

} // namespace
} // namespace framequill
