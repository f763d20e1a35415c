#include "platform/Files.h"
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
// without waiting. Returns 0 or the error of the failed start.
int Spawn(const std::vector<std::string>& args, bool searchPath) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int rc = searchPath ? posix_spawnp(&pid, argv[0], nullptr, &attr, argv.data(), environ)
                              : posix_spawn(&pid, argv[0], nullptr, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    return rc;
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
    InputFile file;
    char head[2] = {};
    return file.Open(path) && file.Read(head, 2) == 2 && head[0] == 'M' && head[1] == 'Z';
}

}  // namespace

bool StartProgram(const std::wstring& file, const std::wstring* parameters, const std::wstring& runner) {
    const std::string real = posix::ResolvePath(file);
    struct stat st {};
    if (stat(real.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    std::vector<std::string> args;
    if (!runner.empty()) args.push_back(WideToSystemName(runner));
    args.push_back(real);
    if (parameters) args.push_back(WideToSystemName(*parameters));
    if (!runner.empty()) return Spawn(args, true) == 0;

    const int rc = Spawn(args, false);
    if (rc == 0) return true;
    if ((rc == ENOEXEC || rc == EACCES) && StartsWithMz(file)) {
        // Debian's wine64 package alone installs `wine64` without `wine`.
        for (const char* wine : {"wine", "wine64"}) {
            if (!OnPath(wine)) continue;
            args.insert(args.begin(), wine);
            return Spawn(args, true) == 0;
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
