#include "engine/Preview.h"

#include <algorithm>

#include "detail/ByteSource.h"
#include "detail/DxfScan.h"
#include "detail/RecordCapture.h"

namespace quarrow {

std::vector<std::string_view> SplitFields(std::string_view record, std::string_view separator) {
    std::vector<std::string_view> fields;
    if (separator.empty()) {
        fields.push_back(record);
        return fields;
    }
    std::size_t from = 0;
    for (std::size_t at = record.find(separator); at != std::string_view::npos;
         at = record.find(separator, from)) {
        fields.push_back(record.substr(from, at - from));
        from = at + separator.size();
    }
    fields.push_back(record.substr(from));
    return fields;
}

std::vector<std::string_view> SplitRecordAsHeld(std::string_view record,
                                                std::string_view separator) {
    std::vector<std::string_view> fields;
    std::size_t from = 0;
    for (;;) {
        std::size_t at = from;
        if (at < record.size() && record[at] == '"') {
            // To the closing quote; a doubled quote is part of the value.
            for (++at; at < record.size(); ++at)
                if (record[at] == '"') {
                    if (at + 1 < record.size() && record[at + 1] == '"')
                        ++at;
                    else
                        break;
                }
            at = std::min(at + 1, record.size());
        }
        const std::size_t end =
            separator.empty() ? std::string_view::npos : record.find(separator, at);
        if (end == std::string_view::npos) {
            fields.push_back(record.substr(from));
            return fields;
        }
        fields.push_back(record.substr(from, end - from));
        from = end + separator.size();
    }
}

std::vector<std::string> SplitRecord(std::string_view record, std::string_view separator,
                                     bool quoted) {
    std::vector<std::string> fields;
    if (!quoted) {
        for (std::string_view field : SplitFields(record, separator))
            fields.emplace_back(field);
        return fields;
    }
    std::size_t at = 0;
    for (;;) {
        std::string field;
        if (at < record.size() && record[at] == '"') {
            ++at;
            while (at < record.size()) {
                if (record[at] == '"') {
                    if (at + 1 < record.size() && record[at + 1] == '"') {
                        field += '"';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                field += record[at++];
            }
        }
        // The rest of the field up to the separator (all of it for an unquoted field).
        const std::size_t end =
            separator.empty() ? std::string_view::npos : record.find(separator, at);
        field += record.substr(at, end == std::string_view::npos ? end : end - at);
        fields.push_back(std::move(field));
        if (end == std::string_view::npos)
            return fields;
        at = end + separator.size();
    }
}

PreviewResult PreviewDrawing(const RunSettings& settings, const std::string& dxfPath,
                             const PreviewOptions& options) {
    PreviewResult result;
    result.Separator = settings.Separator;
    result.Utf8 = settings.Config.Text == TextMode::PlainUtf8;
    result.HasHeader = settings.Config.HeaderLine == 1;
    result.Header = settings.HeaderText;
    const auto fail = [&result](PreviewOutcome outcome, std::string error) {
        result.Outcome = outcome;
        result.Error = std::move(error);
        return std::move(result);
    };

    RunCounters counters;
    if (const int option = ApplyStartAtOptions(settings.Config, counters); option >= 0)
        return fail(PreviewOutcome::Failed, StartAtErrorText(settings.Config, option, dxfPath));
    FileByteSource source;
    if (!source.Open(dxfPath))
        return fail(PreviewOutcome::NotOpened, "cannot open this file: " + source.ErrorText());

    // The records are copied as they are written; the buffer of a file-less output only keeps
    // them until the scan ends.
    RecordCapture capture(result, options.MaxRecords);
    const std::atomic<bool> neverCanceled{false};
    ScanEnvironment env{settings, counters,
                        options.Cancel != nullptr ? *options.Cancel : neverCanceled};
    env.BlockSize = options.BlockSize;
    env.Capture = &capture;
    DxfLineReader in(source, options.BlockSize);
    DataOutput out;
    const ScanResult scan = ScanDxfInput(env, in, out, dxfPath, {});
    if (capture.Full() && scan.Outcome != ScanOutcome::Done) {
        result.Outcome = PreviewOutcome::Limited;
        return result;
    }
    switch (scan.Outcome) {
    case ScanOutcome::Done: result.Outcome = PreviewOutcome::Complete; break;
    case ScanOutcome::NotOpened: return fail(PreviewOutcome::NotOpened, scan.Error);
    case ScanOutcome::NotDxf: return fail(PreviewOutcome::NotDxf, scan.Error);
    case ScanOutcome::Canceled: result.Outcome = PreviewOutcome::Canceled; break;
    case ScanOutcome::Failed: return fail(PreviewOutcome::Failed, scan.Error);
    }
    return result;
}

}  // namespace quarrow
