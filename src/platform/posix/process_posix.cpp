#include "platform/InputFile.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "platform/Unicode.h"
#include "platform/posix/PosixPath.h"

#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace gh::platform {

namespace {

// Starts argv[0] (looked up on PATH when `searchPath`) in a new session,
// without waiting, in `folder` when one is given. Returns 0 or the error of
// the failed start.
int Spawn(const std::vector<std::string>& args, bool searchPath, const std::string& folder = {}) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = 0;
    const int rc = searchPath ? posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ)
                              : posix_spawn(&pid, argv[0], &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    return rc;
}

// `path` made absolute against the launcher's own working folder, so that it
// still names the same file from the child's working folder.
std::string Absolute(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    std::string here(4096, '\0');
    if (!getcwd(here.data(), here.size())) return path;
    here.resize(std::char_traits<char>::length(here.c_str()));
    return here + "/" + path;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string all = path;
    std::size_t pos = 0;
    while (pos <= all.size()) {
        std::size_t end = all.find(':', pos);
        if (end == std::string::npos) end = all.size();
        std::string folder = all.substr(pos, end - pos);
        pos = end + 1;
        if (folder.empty()) folder = ".";
        if (access((folder + "/" + program).c_str(), X_OK) == 0) return true;
    }
    return false;
}

bool StartsWithMz(const std::wstring& path) {
    CInputFile file;
    char head[2] = {};
    return file.Open(path) && file.Read(head, 2) == 2 && head[0] == 'M' && head[1] == 'Z';
}

}  // namespace

bool StartProgram(const std::wstring& file, const std::wstring* parameters, const std::wstring& runner) {
    const std::string real = Absolute(posix::ResolvePath(file));
    struct stat st {};
    if (stat(real.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    // The program runs in its own folder, wherever the launcher was started.
    const std::string folder = FolderOf(real);
    std::vector<std::string> args;
    if (!runner.empty()) {
        // A runner named with a folder is found from here, not from the game's folder.
        const std::string program = WideToSystemName(runner);
        args.push_back(program.find('/') == std::string::npos ? program : Absolute(program));
    }
    args.push_back(real);
    if (parameters) args.push_back(WideToSystemName(*parameters));
    if (!runner.empty()) return Spawn(args, true, folder) == 0;

    const int rc = Spawn(args, false, folder);
    if (rc == 0) return true;
    if ((rc == ENOEXEC || rc == EACCES) && StartsWithMz(file)) {
        // Debian's wine64 package alone installs `wine64` without `wine`.
        for (const char* wine : {"wine", "wine64"}) {
            if (!OnPath(wine)) continue;
            args.insert(args.begin(), wine);
            return Spawn(args, true, folder) == 0;
        }
    }
    return false;
}

bool OpenWithDesktop(const std::wstring& target) { return Spawn({"xdg-open", WideToSystemName(target)}, true) == 0; }

void DebugOutput(const std::wstring& text) {
    const std::string bytes = WideToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}

bool StandardOutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

std::vector<std::wstring> ProgramArguments(int argc, char** argv) {
    std::vector<std::wstring> args;
    for (int i = 1; i < argc && argv[i]; ++i) args.push_back(SystemNameToWide(argv[i]));
    return args;
}

}  // namespace gh::platform
