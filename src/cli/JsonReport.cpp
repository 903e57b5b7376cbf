#include "JsonReport.h"

#include <charconv>
#include <cstdio>

#include "config/NodeTables.h"

namespace quarrow {
namespace {

// Returns the length of the valid UTF-8 sequence at text[i], or 0.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;   // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > text.size() || byte(i + 1) < low || byte(i + 1) > high)
        return 0;
    for (std::size_t k = 2; k < length; ++k)
        if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
            return 0;
    return length;
}

std::string Number(std::int64_t value) {
    return std::to_string(value);
}

std::string Seconds(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 3);
    return std::string(text, end.ptr);
}

const char* StatusName(FileOutcome::Status status) {
    switch (status) {
    case FileOutcome::Status::Converted: return "converted";
    case FileOutcome::Status::NotRead: return "notRead";
    case FileOutcome::Status::Failed: return "failed";
    }
    return "failed";
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
    std::string out = "\"";
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c >= 0x80) {
            if (const std::size_t length = Utf8SequenceLength(bytes, i); length > 0) {
                out.append(bytes.substr(i, length));
                i += length;
            } else {
                out += static_cast<char>(0xC0 | (c >> 6));
                out += static_cast<char>(0x80 | (c & 0x3F));
                ++i;
            }
            continue;
        }
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7f) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
        ++i;
    }
    return out + "\"";
}

std::string JsonReportText(const RunRequest& request, const RunResult& result,
                           const JsonReportContext& context) {
    std::array<std::int64_t, kKindCount> totalKinds{};
    std::string files;
    for (const FileOutcome& file : result.Files) {
        for (std::size_t kind = 0; kind < totalKinds.size(); ++kind)
            totalKinds[kind] += file.KindRecords[kind];
        files += files.empty() ? "\n" : ",\n";
        files += "    {\"dxf\": " + JsonString(file.DxfPath) +
                 ", \"data\": " + JsonString(file.DataPath) + ", \"status\": \"" +
                 StatusName(file.Outcome) + "\", \"reason\": " + JsonString(file.Reason) +
                 ", \"records\": " + Number(file.Records) + ", \"recordsByKind\": " +
                 KindRecordsObject(file.KindRecords, context.SelectedKinds) + "}";
    }
    // A run that ended on an error or was stopped did not reach the entries after its last.
    for (std::size_t i = result.Files.size(); i < request.Entries.size(); ++i) {
        files += files.empty() ? "\n" : ",\n";
        files += "    {\"dxf\": " + JsonString(request.Entries[i].DxfPath) +
                 ", \"data\": \"\", \"status\": \"" +
                 (result.Canceled ? "canceled" : "notReached") + "\", \"reason\": " +
                 JsonString(result.Canceled ? "the run was canceled"
                                            : "the run ended on an error before this file") +
                 ", \"records\": 0, \"recordsByKind\": {}}";
    }
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
