#pragma once
// The figures that need no simulated controller: start-up, building the flash image, and
// appending to the operations log. Each runs inside a QApplication.

#include <QJsonObject>
#include <string>

namespace ob::bench {

// Starts this program again as `program startup-child` and times it to the end of FormShow.
QJsonObject RunStartup(const std::string& program);
// The child's side: `startedNs` is the parent's monotonic clock just before it started us.
QJsonObject StartupChild(long long startedNs);

QJsonObject RunLoad();
QJsonObject RunLog();

} // namespace ob::bench
