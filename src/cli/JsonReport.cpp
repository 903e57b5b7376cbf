#include "JsonReport.h"

#include <charconv>

#include "QuotedText.h"
#include "config/NodeTables.h"

namespace quarrow {
namespace {

std::string Number(std::int64_t value) {
    return std::to_string(value);
}

std::string Seconds(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    return std::string(text, end.ptr);
}

const char* StatusName(FileReport::Status status) {
    switch (status) {
    case FileReport::Status::Converted: return "converted";
    case FileReport::Status::NotRead: return "notRead";
    case FileReport::Status::Failed: return "failed";
    case FileReport::Status::Canceled: return "canceled";
    }
    return "failed";
}

std::string WarningsArray(const std::vector<FileWarning>& warnings) {
    std::string out = "[";
    for (const FileWarning& warning : warnings)
        out += (out.size() > 1 ? ", " : "") + JsonString(warning.Text);
    return out + "]";
}

std::string KindRecordsObject(const std::array<std::int64_t, kKindCount>& records,
                              const SelectedKindsArray& selected) {
    std::string out = "{";
    bool first = true;
    for (std::size_t kind = 0; kind < records.size(); ++kind) {
        if (selected[kind] != 1)
            continue;
        out += first ? "" : ", ";
        out += JsonString(kEntityKinds[kind].Label) + ": " + Number(records[kind]);
        first = false;
    }
    return out + "}";
}

}  // namespace

std::string JsonString(std::string_view bytes) {
    return QuotedText(bytes, ControlStyle::Json, HighBytes::Utf8OrLatin1);
}

std::string JsonReportText(const RunRequest& request, const RunResult& result,
                           const JsonReportContext& context) {
    std::array<std::int64_t, kKindCount> totalKinds{};
    std::string files;
    const auto addEntry = [&files](std::string_view dxf, std::string_view data,
                                   std::string_view status, std::string_view reason,
                                   const std::string& counts) {
        files += files.empty() ? "\n" : ",\n";
        files += "    {\"dxf\": " + JsonString(dxf) + ", \"data\": " + JsonString(data) +
                 ", \"status\": \"" + std::string(status) +
                 "\", \"reason\": " + JsonString(reason) + counts + "}";
    };
    const std::string nothing =
        ", \"records\": 0, \"recordsByKind\": {}, \"warnings\": [], \"paperSpaceLeftOut\": 0";
    for (const FileReport& file : result.Files) {
        for (std::size_t kind = 0; kind < totalKinds.size(); ++kind)
            totalKinds[kind] += file.KindRecords[kind];
        if (file.Outcome == FileReport::Status::Canceled) {
            // Stopped while it was read: no Data file, as for the entries after it.
            addEntry(file.DxfPath, "", "canceled", "the run was canceled", nothing);
            continue;
        }
        addEntry(file.DxfPath, file.DataPath, StatusName(file.Outcome), file.Reason,
                 ", \"records\": " + Number(file.Records) + ", \"recordsByKind\": " +
                     KindRecordsObject(file.KindRecords, context.SelectedKinds) +
                     ", \"warnings\": " + WarningsArray(file.Warnings) +
                     ", \"paperSpaceLeftOut\": " + Number(file.PaperSpaceLeftOut));
    }
    // A run that ended on an error or was stopped did not reach the entries after its last.
    for (std::size_t i = result.Files.size(); i < request.Entries.size(); ++i)
        addEntry(request.Entries[i].DxfPath, "", result.Canceled ? "canceled" : "notReached",
                 result.Canceled ? "the run was canceled"
                                 : "the run ended on an error before this file",
                 nothing);
    std::string out = "{\n";
    out += "  \"started\": " + JsonString(context.StartedUtc) + ",\n";
    out += "  \"seconds\": " + Seconds(context.Seconds) + ",\n";
    out += "  \"configuration\": " + JsonString(context.ConfigPath) + ",\n";
    out += "  \"destination\": " + JsonString(context.DestFolder) + ",\n";
    out += "  \"exitStatus\": " + Number(context.ExitStatus) + ",\n";
    out += std::string("  \"canceled\": ") + (result.Canceled ? "true" : "false") + ",\n";
    out += "  \"error\": " + JsonString(result.Status == RunStatus::Failed ? result.Message : "") +
           ",\n";
    out += "  \"files\": [" + files + (files.empty() ? "],\n" : "\n  ],\n");
    out += "  \"totals\": {\"files\": " + Number(std::int64_t(request.Entries.size())) +
           ", \"converted\": " + Number(result.FilesConverted) +
           ", \"notRead\": " + Number(result.FilesNotRead) +
           ", \"failed\": " + Number(result.FilesFailed + (result.Status == RunStatus::Failed)) +
           ", \"records\": " + Number(result.RecordsWritten) +
           ", \"recordsByKind\": " + KindRecordsObject(totalKinds, context.SelectedKinds) + "}\n";
    out += "}\n";
    return out;
}

}  // namespace quarrow
