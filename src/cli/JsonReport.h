#pragma once
// The run's report for programs: what became of each file given, with the records written per
// entity kind, and the time the run took, as one JSON object.

#include <string>
#include <string_view>

#include "engine/ProcessingRun.h"

namespace quarrow {

struct JsonReportContext {
    std::string ConfigPath;
    std::string DestFolder;
    std::string StartedUtc;  // ISO 8601, "2026-01-31T12:00:00Z"
    double Seconds = 0;
    int ExitStatus = 0;
    SelectedKindsArray SelectedKinds{};
};

// Returns the JSON text of a run that started (every entry is listed, those the run did not
// reach with the status "notReached"). Texts are the bytes as they are when they are UTF-8,
// other bytes read as Latin-1, so every byte survives.
std::string JsonReportText(const RunRequest& request, const RunResult& result,
                           const JsonReportContext& context);

// Returns a JSON string of a text, quotes included.
std::string JsonString(std::string_view bytes);

}  // namespace quarrow
