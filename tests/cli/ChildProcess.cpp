#include "ChildProcess.h"

#include "platform/Text.h"

#include "platform/Clock.h"
#include "platform/Unicode.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace gh::test {

namespace {

// The text std::system takes: on Linux the bytes the system spells names
// with (so a name that is not valid text reaches the child whole); the
// tests keep Windows command lines ASCII, which every code page reads alike.
std::string Narrow(const std::wstring& text) {
#ifdef _WIN32
    return WideToUtf8(text);
#else
    return platform::WideToSystemName(text);
#endif
}

std::string Quote(const std::wstring& text) {
#ifdef _WIN32
    return "\"" + Narrow(text) + "\"";
#else
    std::string quoted = "'";
    for (const char c : Narrow(text)) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
#endif
}

// Windows programs write their text output with CR LF line ends.
std::string WithLf(std::string text) {
#ifdef _WIN32
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
#else
    return text;
#endif
}

int ExitCodeOf(int status) {
#ifdef _WIN32
    return status;
#else
    // std::system returns the wait status: the exit code sits in the second
    // byte when the child ended normally (low seven bits zero).
    if (status == -1 || (status & 0x7F) != 0) return -1;
    return (status >> 8) & 0xFF;
#endif
}

}  // namespace

std::wstring BuiltProgram(const char* buildPath) {
    std::wstring path = Utf8ToWide(buildPath);
#ifdef _WIN32
    if (!path.empty() && path[0] == L'/') {
        for (wchar_t& c : path)
            if (c == L'/') c = L'\\';
        path = L"Z:" + path;
    }
#endif
    return path;
}

ChildResult RunChild(const std::wstring& program, const std::vector<std::wstring>& args,
                     const std::vector<std::pair<std::string, std::wstring>>& environment) {
    TempFolder io;
    std::string command;
#ifndef _WIN32
    for (const auto& [name, value] : environment) command += name + "=" + Quote(value) + " ";
#else
    EXPECT_TRUE(environment.empty()) << "child environments are set through POSIX shells only";
#endif
    command += Quote(program);
    for (const std::wstring& arg : args) command += " " + Quote(arg);
    command += " >" + Quote(io / L"out.txt") + " 2>" + Quote(io / L"err.txt");
#ifdef _WIN32
    // cmd.exe drops the first and the last quote of a line that holds more.
    command = "\"" + command + "\"";
#else
    command += " </dev/null";
#endif
    ChildResult result;
    result.exitCode = ExitCodeOf(std::system(command.c_str()));
    result.out = WithLf(io.ReadFile(L"out.txt"));
    result.err = WithLf(io.ReadFile(L"err.txt"));
    return result;
}

#ifndef _WIN32
ChildResult RunChildWithOutput(const std::wstring& program, const std::vector<std::wstring>& args, ChildOutput output) {
    TempFolder io;
    std::vector<std::string> words{Narrow(program)};
    for (const std::wstring& arg : args) words.push_back(Narrow(arg));
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string errPath = Narrow(io / L"err.txt");
    int pipeEnds[2] = {-1, -1};
    if (output == ChildOutput::ClosedPipe) {
        EXPECT_EQ(pipe(pipeEnds), 0);
        close(pipeEnds[0]);
    }
    const pid_t pid = fork();
    if (pid == 0) {
        // Between fork and exec: only calls that are safe there.
        const auto put = [](int fd, int to) {
            if (fd >= 0 && fd != to) {
                dup2(fd, to);
                close(fd);
            }
        };
        put(open("/dev/null", O_RDONLY), 0);
        put(open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        switch (output) {
            case ChildOutput::FullDevice: put(open("/dev/full", O_WRONLY), 1); break;
            case ChildOutput::Closed: close(1); break;
            case ChildOutput::ClosedPipe:
                put(pipeEnds[1], 1);
                signal(SIGPIPE, SIG_IGN);
                break;
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (pipeEnds[1] >= 0) close(pipeEnds[1]);
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, 0), pid);
    ChildResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
    result.err = io.ReadFile(L"err.txt");
    return result;
}
#else
ChildResult RunChildWithOutput(const std::wstring& program, const std::vector<std::wstring>& args, ChildOutput output) {
    EXPECT_EQ(output, ChildOutput::ClosedPipe) << "Windows has no full device and no closed standard handle";
    TempFolder io;
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE reader = nullptr, writer = nullptr;
    EXPECT_TRUE(CreatePipe(&reader, &writer, &inherited, 0));
    CloseHandle(reader);
    const std::wstring errPath = io / L"err.txt";
    HANDLE err = CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE in = CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = writer;
    startup.hStdError = err;
    std::wstring command = L"\"" + program + L"\"";
    for (const std::wstring& arg : args) command += L" \"" + arg + L"\"";
    PROCESS_INFORMATION process{};
    const BOOL started =
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    EXPECT_TRUE(started) << "cannot start " << WideToUtf8(program);
    for (HANDLE handle : {writer, err, in}) CloseHandle(handle);
    ChildResult result;
    if (started) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        result.exitCode = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    result.err = WithLf(io.ReadFile(L"err.txt"));
    return result;
}
#endif

std::wstring CopyStandIn(const TempFolder& folder, const std::wstring& relative) {
    std::wstring target = folder / relative;
#ifdef _WIN32
    if (target.size() < 4 || target.substr(target.size() - 4) != L".exe") target += L".exe";
    const std::filesystem::path to(target);
    const std::filesystem::path from(BuiltProgram(GH_STANDIN_EXE));
#else
    const std::filesystem::path to(Narrow(target));
    const std::filesystem::path from(GH_STANDIN_EXE);
#endif
    std::error_code error;
    std::filesystem::create_directories(to.parent_path(), error);
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
    EXPECT_FALSE(error) << "cannot copy the stand-in game: " << error.message();
    return target;
}

std::string WaitForRecord(const TempFolder& folder, const std::wstring& folderRelative,
                          std::chrono::milliseconds wait) {
    const std::wstring record = folderRelative + L"/standin-record.txt";
    const std::int64_t deadline = platform::MonotonicMilliseconds() + wait.count();
    // Written by renaming a complete file into place, so it is whole once
    // seen; but under Wine the renaming process still holds the new name open
    // for a moment without sharing deletion, and a read in that moment fails
    // and comes back empty. A real record is never empty, so read again.
    for (;;) {
        if (folder.Exists(record)) {
            std::string text = folder.ReadFile(record);
            if (!text.empty()) return text;
        }
        if (platform::MonotonicMilliseconds() > deadline) return {};
        platform::SleepMilliseconds(20);
    }
}

std::vector<std::string> RecordedArguments(const std::string& record) {
    std::vector<std::string> args;
    std::istringstream lines(record);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("argument ", 0) != 0) continue;
        const auto colon = line.find(": ");
        if (colon != std::string::npos) args.push_back(line.substr(colon + 2));
    }
    return args;
}

}  // namespace gh::test
