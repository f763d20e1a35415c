// The gatehouse executable: the terminal commands, and the windowed launcher
// when no command is given.
#include <string>
#include <vector>

#include "cli/CliMain.h"
#include "cli/Console.h"
#include "platform/Process.h"
#include "platform/StandardStreams.h"
#if defined(GATEHOUSE_WINDOWS_MODULE)
#include "platform/Files.h"
#include "platform/Folders.h"
#include "platform/Library.h"
#elif defined(GATEHOUSE_WITH_WINDOWS)
#include "ui/WindowedLauncher.h"
#endif

namespace {

#if defined(GATEHOUSE_WINDOWS_MODULE)
// The executable's own path, taken before the folder options replace the
// launcher's folder: the windows' module lies beside the executable.
std::wstring g_executable;

// Where the windows' module is: beside the executable in a build, in the
// package's private library folder once installed.
std::wstring WindowsModulePath() {
    const std::size_t slash = g_executable.find_last_of(L'/');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : g_executable.substr(0, slash + 1);
    const std::wstring beside = folder + GATEHOUSE_WINDOWS_MODULE;
    const std::wstring installed = folder + GATEHOUSE_WINDOWS_MODULE_INSTALLED + GATEHOUSE_WINDOWS_MODULE;
    return !gh::platform::FileExists(beside) && gh::platform::FileExists(installed) ? installed : beside;
}

// Loads the windows' module (WindowsModule.cpp) and runs them. The module
// stays loaded until the process ends: the toolkit's libraries do not
// expect to be unloaded.
gh::WindowsResult RunWindowsModule(const gh::LauncherOptions& options) {
    const std::wstring path = WindowsModulePath();
    gh::platform::SharedLibrary module;
    if (const gh::Status opened = module.Open(path); !opened) {
        gh::platform::DebugOutput(L"gatehouse: the windows could not be loaded: " + opened.Text());
        return gh::WindowsResult::NotBuilt;
    }
    using Run = int (*)(const gh::LauncherOptions*);
    const auto run = reinterpret_cast<Run>(module.Find("GatehouseRunWindows"));
    if (run == nullptr) {
        gh::platform::DebugOutput(L"gatehouse: " + path + L" is not the windows' module");
        return gh::WindowsResult::NotBuilt;
    }
    const int shown = run(&options);
    module.KeepLoaded();
    return shown > 0 ? gh::WindowsResult::Shown : gh::WindowsResult::NoDisplay;
}
#endif

// The one place where the windows are started.
gh::WindowsResult RunWindows(const gh::LauncherOptions& options) {
#if defined(GATEHOUSE_WINDOWS_MODULE)
    return RunWindowsModule(options);
#elif defined(GATEHOUSE_WITH_WINDOWS)
    return gh::RunWindowedLauncher(options) ? gh::WindowsResult::Shown : gh::WindowsResult::NoDisplay;
#else
    (void)options;
    return gh::WindowsResult::NotBuilt;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    // Before anything is opened, so that nothing opened takes a standard
    // stream's place.
    const gh::platform::StandardStreamsAtStart streams = gh::platform::PrepareStandardStreams();
#if defined(GATEHOUSE_WINDOWS_MODULE)
    g_executable = gh::platform::LauncherPath();
#endif
    gh::CStandardConsole console(streams.outputClosed);
    return console.Finish(gh::RunCommandLine(gh::platform::ProgramArguments(argc, argv), console, RunWindows));
}
