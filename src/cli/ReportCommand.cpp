#include "cli/ReportCommand.h"

#include "cli/TerminalSelection.h"
#include "launcher/BugReport.h"
#include "launcher/WorkshopChanges.h"

namespace gh {

int RunReport(const std::optional<std::wstring>& setPath, bool markdown, const CGameFolders& folders,
              IConsole& console) {
    CTerminalSelection selection(folders);
    if (!selection.Load(setPath, console)) return 1;
    const BugReportSubject subject{folders, selection.Rows(), selection.Rules().Selection(), selection.Name(),
                                   RecordedModChanges(folders.GetUserGameFolder())};
    console.Out(BugReportText(subject, markdown ? BugReportFormat::Markdown : BugReportFormat::PlainText));
    return 0;
}

}  // namespace gh
