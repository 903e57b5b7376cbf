#include "engine/ProcessingReport.h"

namespace quarrow {

void ProcessingReport::AddFileHead(int fileNumber, const FileReport& file) {
    Add("File " + std::to_string(fileNumber) + " :");
    Add("");
    Add("  DXF File  : " + file.DxfPath);
    if (file.NamesDataFile) {
        Add("  Data File : " + file.DataPath);
        Add("");
    }
}

void ProcessingReport::AddFileOutcome(const FileReport& file,
                                      const SelectedKindsArray& selectedKinds,
                                      std::string_view blockFilter, bool runWentOn) {
    switch (file.Outcome) {
    case FileReport::Status::Canceled: return;
    case FileReport::Status::Failed:
        if (!runWentOn)
            return;
        [[fallthrough]];
    case FileReport::Status::NotRead:
        Add("  *** Error, " + file.Reason + " ***");
        Add(kReportSeparator);
        return;
    case FileReport::Status::Converted: break;
    }
    Add("  Processed entities count : " + std::to_string(file.Entities));
    Add("");
    for (int kind = 0; kind < kKindCount; ++kind) {
        if (selectedKinds[std::size_t(kind)] != 1)
            continue;
        std::string line = "    ";
        line += kEntityKinds[std::size_t(kind)].Label;
        line += " : ";
        line += std::to_string(file.KindEntities[std::size_t(kind)]);
        line += ' ';
        if (EntityKind(kind) == EntityKind::Blocks) {
            line += '(';
            line += blockFilter;
            line += ')';
        }
        Add(line);
    }
    for (const auto& [name, count] : file.BlockTally)
        Add("      " + name + " : " + std::to_string(count));
    if (file.PaperSpaceLeftOut > 0)
        Add("    Paper space entities left out : " + std::to_string(file.PaperSpaceLeftOut));
    for (const FileWarning& warning : file.Warnings)
        if (warning.InLog())
            Add("  *** Warning, " + warning.Text + " ***");
    Add(kReportSeparator);
}

std::string ProcessingReport::LogText() const {
    std::size_t size = 0;
    for (const auto& line : Lines)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : Lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace quarrow
