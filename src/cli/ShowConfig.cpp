// show-config: a configuration file in readable form, or as one JSON object.

#include <string>
#include <string_view>

#include "QuotedText.h"
#include "cli/Cli.h"
#include "config/ConfigFile.h"
#include "config/ConfigTree.h"
#include "config/NodeTables.h"

namespace quarrow {
namespace {

// Quotes a configuration text, its bytes read as Latin-1 so every byte survives.
std::string Quoted(std::string_view bytes, bool json) {
    return QuotedText(bytes, json ? ControlStyle::Json : ControlStyle::Terminal, HighBytes::Latin1);
}

template <typename Array>
std::string JoinNumbers(const Array& values, std::string_view separator) {
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            out += separator;
        out += std::to_string(static_cast<long long>(values[i]));
    }
    return out;
}

std::string_view LabelOf(const ConfigTree& tree, const ConfigTreeNode& node, int position) {
    const int index = tree.Kind == TreeKind::Data ? node.Index : position;
    if (tree.Kind == TreeKind::Data)
        return index >= 0 && index < kDataNodeCount ? kDataNodes[std::size_t(index)].Label
                                                    : std::string_view("?");
    return index >= 0 && index < kEntityNodeCount ? kEntityNodes[std::size_t(index)].Label
                                                  : std::string_view("?");
}

void PrintTreeText(const ConfigTree& tree, const std::vector<ConfigTreeNode>& nodes,
                   const ExportConfig& config, int depth, int& position, std::ostream& out) {
    for (const auto& node : nodes) {
        out << std::string(2 + 4 * std::size_t(depth), ' ');
        if (node.CheckType != CheckType::None)
            out << (node.IsChecked() ? "[x] " : "[ ] ");
        out << LabelOf(tree, node, position);
        if (tree.Kind == TreeKind::Data) {
            out << "  #" << node.Index;
            if (node.CheckType == CheckType::None && node.Index >= 0 && node.Index < kDataNodeCount)
                out << " = " << Quoted(config.DataOptions[std::size_t(node.Index)], false);
        }
        if (node.HasState(NodeState::Disabled))
            out << "  (disabled)";
        if (node.HasState(NodeState::Expanded))
            out << "  (expanded)";
        out << '\n';
        ++position;
        PrintTreeText(tree, node.Children, config, depth + 1, position, out);
    }
}

void PrintTreeJson(const ConfigTree& tree, const std::vector<ConfigTreeNode>& nodes, int& position,
                   std::ostream& out) {
    out << '[';
    bool first = true;
    for (const auto& node : nodes) {
        out << (first ? "" : ",") << "{\"label\":" << Quoted(LabelOf(tree, node, position), true);
        first = false;
        if (tree.Kind == TreeKind::Data)
            out << ",\"index\":" << node.Index;
        out << ",\"checkType\":" << int(node.CheckType)
            << ",\"checked\":" << (node.IsChecked() ? "true" : "false")
            << ",\"disabled\":" << (node.HasState(NodeState::Disabled) ? "true" : "false")
            << ",\"expanded\":" << (node.HasState(NodeState::Expanded) ? "true" : "false")
            << ",\"children\":";
        ++position;
        PrintTreeJson(tree, node.Children, position, out);
        out << '}';
    }
    out << ']';
}

void PrintText(const ExportConfig& c, const ConfigTree& entityTree, const ConfigTree& dataTree,
               std::ostream& out) {
    const auto choiceName = c.SeparatorChoice >= 0 && c.SeparatorChoice <= kSeparatorOther
                                ? kSeparatorChoiceNames[std::size_t(c.SeparatorChoice)]
                                : std::string_view("unknown");
    out << "Signature           : " << Quoted(c.ConfigSignature, false) << '\n'
        << "Data file extension : " << Quoted(c.DataFileExt, false) << '\n'
        << "Header line         : " << (c.HeaderLine ? "yes" : "no") << '\n'
        << "Separator choice    : " << c.SeparatorChoice << " (" << choiceName << ")\n"
        << "Field separator     : " << Quoted(c.FieldSeparator, false) << '\n'
        << "Block name filter   : " << Quoted(c.BlockNameFilter, false) << '\n'
        << "Quote values (CSV)  : " << (c.QuoteFields ? "yes" : "no") << '\n'
        << "Text                : "
        << (c.Text == TextMode::PlainUtf8 ? "plain UTF-8" : "as written") << '\n'
        << "Entity flags        : " << JoinNumbers(c.EntityFlags, " ") << '\n'
        << "Data flags          : " << JoinNumbers(c.DataFlags, " ") << '\n'
        << "Data order          : " << JoinNumbers(BuildDataOrder(dataTree), " ") << '\n'
        << "Selected kinds      :";
    const auto kinds = BuildSelectedKinds(entityTree);
    bool any = false;
    for (std::size_t k = 0; k < kinds.size(); ++k)
        if (kinds[k]) {
            out << (any ? ", " : " ") << kEntityKinds[k].Label;
            any = true;
        }
    out << (any ? "\n" : " none\n");
    out << "Entity tree:\n";
    int position = 0;
    PrintTreeText(entityTree, entityTree.Roots, c, 0, position, out);
    out << "Data tree:\n";
    position = 0;
    PrintTreeText(dataTree, dataTree.Roots, c, 0, position, out);
}

void PrintJson(const ExportConfig& c, const ConfigTree& entityTree, const ConfigTree& dataTree,
               std::ostream& out) {
    out << "{\"signature\":" << Quoted(c.ConfigSignature, true)
        << ",\"dataFileExt\":" << Quoted(c.DataFileExt, true)
        << ",\"headerLine\":" << int(c.HeaderLine) << ",\"separatorChoice\":" << c.SeparatorChoice
        << ",\"blockNameFilter\":" << Quoted(c.BlockNameFilter, true)
        << ",\"fieldSeparator\":" << Quoted(c.FieldSeparator, true)
        << ",\"quoteFields\":" << (c.QuoteFields ? "true" : "false")
        << ",\"textMode\":" << (c.Text == TextMode::PlainUtf8 ? "\"plain-utf8\"" : "\"as-written\"")
        << ",\"entityFlags\":[" << JoinNumbers(c.EntityFlags, ",") << "],\"dataFlags\":["
        << JoinNumbers(c.DataFlags, ",") << "],\"dataOptions\":[";
    for (std::size_t i = 0; i < c.DataOptions.size(); ++i)
        out << (i ? "," : "") << Quoted(c.DataOptions[i], true);
    out << "],\"dataOrder\":[" << JoinNumbers(BuildDataOrder(dataTree), ",")
        << "],\"selectedKinds\":[" << JoinNumbers(BuildSelectedKinds(entityTree), ",")
        << "],\"entityTree\":";
    int position = 0;
    PrintTreeJson(entityTree, entityTree.Roots, position, out);
    out << ",\"dataTree\":";
    position = 0;
    PrintTreeJson(dataTree, dataTree.Roots, position, out);
    out << "}\n";
}

}  // namespace

int ShowConfigCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err) {
    const bool json = options.Has("json");
    if (options.Operands.size() > 1) {
        err << "quarrow-cli show-config: give one configuration file\n";
        return kExitRefused;
    }
    if (options.Operands.empty()) {
        err << "quarrow-cli show-config: give the configuration file to show, for example "
               "data/default.qrw\n";
        return kExitRefused;
    }
    const std::string& path = options.Operands[0];

    ExportConfig config;
    ConfigTree entityTree = BuildEntityTree();
    ConfigTree dataTree = BuildDataTree();
    const ReadResult result = ReadConfigFile(path, config, entityTree, dataTree);
    if (result.Outcome == ConfigReadOutcome::NotRead) {
        err << path << ": " << result.Message << '\n';
        return kExitRefused;
    }
    if (json)
        PrintJson(config, entityTree, dataTree, out);
    else
        PrintText(config, entityTree, dataTree, out);
    if (result.FlagsRebuilt && result.Outcome == ConfigReadOutcome::ReadInFull)
        err << path << ": " << kMsgFlagsRebuilt << '\n';
    if (result.Outcome == ConfigReadOutcome::TreesDamaged) {
        err << path << ": " << result.Message
            << " The trees above are incomplete; save the configuration again from the "
               "desktop program to repair the file.\n";
        return kExitRefused;
    }
    return kExitDone;
}

}  // namespace quarrow
