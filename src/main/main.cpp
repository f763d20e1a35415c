// The gatehouse executable: the terminal commands, and the windowed launcher
// when no command is given.
#include <string>
#include <vector>

#include "cli/CliMain.h"
#include "cli/Console.h"
#include "platform/Process.h"
#include "platform/StandardStreams.h"
#if defined(GATEHOUSE_GUI_MODULE)
#include "platform/FileSystem.h"
#include "platform/Library.h"
#include "platform/SystemFolders.h"
#elif defined(GATEHOUSE_WITH_GUI)
#include "ui/GuiLauncher.h"
#endif

namespace {

#if defined(GATEHOUSE_GUI_MODULE)
// Where the gui's module is: beside the executable in a build, in the
// package's private library folder once installed.
std::wstring GuiModulePath() {
    const std::wstring executable = gh::platform::LauncherPath();
    const std::size_t slash = executable.find_last_of(L'/');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : executable.substr(0, slash + 1);
    const std::wstring beside = folder + GATEHOUSE_GUI_MODULE;
    const std::wstring installed = folder + GATEHOUSE_GUI_MODULE_INSTALLED + GATEHOUSE_GUI_MODULE;
    return !gh::platform::FileExists(beside) && gh::platform::FileExists(installed) ? installed : beside;
}

// Loads the gui's module (GuiModule.cpp) and runs it. The module stays
// loaded until the process ends: the toolkit's libraries do not expect to
// be unloaded.
gh::GuiResult RunGuiModule(const gh::LauncherOptions& options, const gh::CGameFolders& folders) {
    const std::wstring path = GuiModulePath();
    gh::platform::CSharedLibrary module;
    if (const gh::Status opened = module.Open(path); !opened) {
        gh::platform::DebugOutput(L"gatehouse: the gui could not be loaded: " + opened.Text());
        return gh::GuiResult::NotBuilt;
    }
    using Run = int (*)(const gh::LauncherOptions*, const gh::CGameFolders*);
    const auto run = reinterpret_cast<Run>(module.Find("GatehouseRunGui"));
    if (run == nullptr) {
        gh::platform::DebugOutput(L"gatehouse: " + path + L" is not the gui's module");
        return gh::GuiResult::NotBuilt;
    }
    const int shown = run(&options, &folders);
    module.KeepLoaded();
    return shown > 0 ? gh::GuiResult::Shown : gh::GuiResult::NoDisplay;
}
#endif

// The one place where the gui is started.
gh::GuiResult RunGui(const gh::LauncherOptions& options, const gh::CGameFolders& folders) {
#if defined(GATEHOUSE_GUI_MODULE)
    return RunGuiModule(options, folders);
#elif defined(GATEHOUSE_WITH_GUI)
    return gh::RunGuiLauncher(options, folders) ? gh::GuiResult::Shown : gh::GuiResult::NoDisplay;
#else
    (void)options;
    (void)folders;
    return gh::GuiResult::NotBuilt;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    // Before anything is opened, so that nothing opened takes a standard
    // stream's place.
    const gh::platform::StandardStreamsAtStart streams = gh::platform::PrepareStandardStreams();
    gh::CStandardConsole console(streams.outputClosed);
    return console.Finish(gh::RunCommandLine(gh::platform::ProgramArguments(argc, argv), console, RunGui));
}
