#pragma once
// The INI files in which the program keeps the operator's choices between runs:
// their names, keys, defaults and allowed ranges, the folder they live in, and
// reads that bring whatever a file holds (edited by hand, left by an older
// version, damaged) into the range the program allows.

#include "analysis/balance.h"
#include "analysis/judgement.h"
#include "analysis/stability.h"

#include <QString>

#include <memory>

class QSettings;

namespace settingsfiles {

struct IntSetting {
    const char* key;
    int fallback;  // when the file has no such key or no number under it
    int lowest;
    int highest;
};

struct RealSetting {
    const char* key;
    double fallback;
    double lowest;
    double highest;
    int decimals;  // those its editor shows
};

struct FlagSetting {
    const char* key;
    bool fallback;
};

// The trend panels, the balance summary and the deviation limits of the test pages.
namespace insight {
constexpr char kFile[] = "settingsInsight.ini";
constexpr FlagSetting kTrendFolded{"trendFolded", false};
constexpr IntSetting kStabilityWindow{"stabilityWindow", analysis::StabilitySettings{}.window,
                                      analysis::StabilitySettings::kMinWindow, analysis::StabilitySettings::kMaxWindow};
constexpr RealSetting kStabilityThreshold{"stabilityThreshold", analysis::StabilitySettings{}.thresholdPercent,
                                          analysis::StabilitySettings::kMinThresholdPercent,
                                          analysis::StabilitySettings::kMaxThresholdPercent,
                                          analysis::StabilitySettings::kThresholdDecimals};
constexpr RealSetting kPhaseLimit{"phaseLimit", analysis::BalanceLimits{}.phasePercent,
                                  analysis::BalanceLimits::kMinPercent, analysis::BalanceLimits::kMaxPercent,
                                  analysis::BalanceLimits::kDecimals};
constexpr RealSetting kLineLimit{"lineLimit", analysis::BalanceLimits{}.linePercent,
                                 analysis::BalanceLimits::kMinPercent, analysis::BalanceLimits::kMaxPercent,
                                 analysis::BalanceLimits::kDecimals};
constexpr RealSetting kPassLimit{"deviationPassLimit", analysis::JudgementLimits{}.passPercent,
                                 analysis::JudgementLimits::kMinPercent, analysis::JudgementLimits::kMaxPercent,
                                 analysis::JudgementLimits::kDecimals};
constexpr RealSetting kWatchLimit{"deviationWatchLimit", analysis::JudgementLimits{}.watchPercent,
                                  analysis::JudgementLimits::kMinPercent, analysis::JudgementLimits::kMaxPercent,
                                  analysis::JudgementLimits::kDecimals};
}  // namespace insight

// The automatic test series: how many tests, the pause between two (10 s to
// 4:59), and whether each test runs until its reading is stable, for at most
// the longest wait.
namespace autotest {
constexpr char kFile[] = "settingsAuto.ini";
constexpr IntSetting kCount{"testCountValue", 2, 2, 10};
constexpr IntSetting kIntervalMs{"testIntervalValue", 10000, 10000, 299000};
constexpr FlagSetting kStopWhenSettled{"stopWhenSettled", true};
constexpr IntSetting kLongestWaitSeconds{"longestWaitSeconds", 120, 10, 600};
}  // namespace autotest

// The polling interval of the live readings.
namespace sampling {
constexpr char kFile[] = "settingsSample.ini";
constexpr IntSetting kIntervalMs{"interval", 600, 200, 800};
}  // namespace sampling

// The language of the window as the operator chose it last ("zh", "en"); the
// window starts in Chinese until a choice is kept here.
namespace language {
constexpr char kFile[] = "settingsLanguage.ini";
constexpr char kCode[] = "language";
constexpr char kFallback[] = "zh";
}  // namespace language

// The header texts of the PDF report; each empty until the operator fills it in.
namespace pdfheader {
constexpr char kFile[] = "settingsPdf.ini";
constexpr char kCompanyName[] = "companyName";
constexpr char kUserName[] = "userName";
constexpr char kContact[] = "contact";
constexpr char kTesterName[] = "testerName";
constexpr char kTesterModel[] = "testerModel";
constexpr char kTestObjectName[] = "testObjName";
constexpr char kScene[] = "scene";
}  // namespace pdfheader

// The team's PostgreSQL server, named by a libpq service (pg_service.conf,
// PGSERVICEFILE); empty: results stay on this computer only. Passwords come
// from ~/.pgpass (PGPASSFILE) and are never kept here.
namespace server {
constexpr char kFile[] = "settingsServer.ini";
constexpr char kService[] = "service";
}  // namespace server

// fileName inside the program's data folder, which is made when missing; inside
// the temporary folder when the data folder cannot be made.
QString filePath(const QString& fileName);

// That file, read and written as UTF-8 INI.
std::unique_ptr<QSettings> open(const QString& fileName);

// The stored value brought into the setting's range (a real one also to the
// decimals its editor shows, so that what is used is what is shown); its
// fallback when the key is missing or holds no value of the setting's kind.
int read(const QSettings& settings, const IntSetting& setting);
double read(const QSettings& settings, const RealSetting& setting);
bool read(const QSettings& settings, const FlagSetting& setting);
QString readText(const QSettings& settings, const char* key);

void write(QSettings& settings, const IntSetting& setting, int value);
void write(QSettings& settings, const RealSetting& setting, double value);
void write(QSettings& settings, const FlagSetting& setting, bool value);
void writeText(QSettings& settings, const char* key, const QString& text);

}  // namespace settingsfiles
