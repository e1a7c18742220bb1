#pragma once
// The parts of the main window that do its work, each a small class of its
// own; the window holds them here and wires them to the form and the link.

#include "app/autoseries.h"
#include "app/fileexports.h"
#include "app/historyactions.h"
#include "app/insightcontroller.h"
#include "app/languageswitcher.h"
#include "app/linksession.h"
#include "app/operatormessages.h"
#include "app/pageswitcher.h"
#include "app/resultkeeper.h"
#include "app/resultpage.h"
#include "app/rowremoval.h"
#include "app/settingseditor.h"
#include "app/storedimport.h"
#include "app/testobjectbar.h"
#include "app/teamlink.h"
#include "app/windowactions.h"

#include <array>
#include <memory>

// Pages of the window's stackedWidget.
constexpr int kDcPage = 0;
constexpr int kLengthPage = 1;
constexpr int kStoredPage = 2;

struct WindowParts {
    ResultPage* dcPage = nullptr;
    ResultPage* lengthPage = nullptr;
    RowRemoval* rowRemoval = nullptr;  // asks before Delete and Clear
    SettingsEditor* settingsEditor = nullptr;
    AutoSeries* autoSeries = nullptr;
    PageSwitcher* pageSwitcher = nullptr;
    LanguageSwitcher languages;
    StoredImport* storedImport = nullptr;
    ResultKeeper* resultKeeper = nullptr;
    FileExports* fileExports = nullptr;
    TestObjectBar* objectBar = nullptr;  // the object under test, on both test pages
    TeamLink* teamLink = nullptr;  // the team's server: its dialog, the pusher, the status-bar mark
    HistoryActions* historyActions = nullptr;  // the team's sessions and the baselines in the history
    std::unique_ptr<InsightController> insight;  // live trend, kept traces, three-phase balance
    std::unique_ptr<OperatorMessages> messages = makeWarningBoxes();

    std::array<ResultPage*, 2> pages() const { return {dcPage, lengthPage}; }
};
