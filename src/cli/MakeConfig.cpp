// make-config: a configuration file from the JSON object show-config --json prints.

#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "cli/Cli.h"
#include "config/ConfigFile.h"
#include "config/ConfigTree.h"
#include "config/DefaultConfig.h"
#include "config/NodeTables.h"

namespace quarrow {
namespace {

using nlohmann::json;

// A key that does not hold what it should: the message names it.
struct SpecError {
    std::string Key;
    std::string What;
};

// Reads a JSON string as show-config writes texts: each character one byte (Latin-1), so
// every byte of a configuration text survives the round trip.
std::string Bytes(const json& value, const std::string& key) {
    if (!value.is_string())
        throw SpecError{key, "a text"};
    const std::string& utf8 = value.get_ref<const std::string&>();
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            bytes += char(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            bytes += char(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            throw SpecError{key, "characters of U+0000 to U+00FF only (one byte each)"};
        }
    }
    return bytes;
}

bool Flag(const json& value, const std::string& key) {
    if (value.is_boolean())
        return value.get<bool>();
    if (value.is_number_integer() && (value.get<long long>() == 0 || value.get<long long>() == 1))
        return value.get<long long>() == 1;
    throw SpecError{key, "true or false"};
}

long long Integer(const json& value, const std::string& key, long long low, long long high) {
    if (!value.is_number_integer() || value.get<long long>() < low || value.get<long long>() > high)
        throw SpecError{key, "a whole number from " + std::to_string(low) + " to " +
                                 std::to_string(high)};
    return value.get<long long>();
}

const json* Find(const json& object, const char* key) {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &*it;
}

// Applies a node's checked, disabled and expanded keys.
void ApplyNode(const json& spec, ConfigTreeNode& node, const std::string& key) {
    if (!spec.is_object())
        throw SpecError{key, "a node object"};
    if (const json* v = Find(spec, "checked"))
        node.SetChecked(Flag(*v, key + ".checked"));
    if (const json* v = Find(spec, "disabled"))
        node.SetState(NodeState::Disabled, Flag(*v, key + ".disabled"));
    if (const json* v = Find(spec, "expanded"))
        node.SetState(NodeState::Expanded, Flag(*v, key + ".expanded"));
}

const json& Children(const json& spec, const std::string& key) {
    static const json kNone = json::array();
    const json* children = Find(spec, "children");
    if (children == nullptr)
        return kNone;
    if (!children->is_array())
        throw SpecError{key + ".children", "an array"};
    return *children;
}

// The entity tree keeps its fixed shape: the spec's nodes are matched by position.
void ApplyEntityTree(const json& spec, ConfigTree& tree) {
    if (!spec.is_array() || spec.size() != tree.Roots.size())
        throw SpecError{"entityTree",
                        "an array of the " + std::to_string(tree.Roots.size()) + " entity kinds"};
    for (std::size_t r = 0; r < spec.size(); ++r) {
        const std::string key = "entityTree[" + std::to_string(r) + "]";
        ApplyNode(spec[r], tree.Roots[r], key);
        const json& children = Children(spec[r], key);
        if (children.size() != tree.Roots[r].Children.size())
            throw SpecError{key + ".children",
                            std::to_string(tree.Roots[r].Children.size()) + " nodes"};
        for (std::size_t c = 0; c < children.size(); ++c)
            ApplyNode(children[c], tree.Roots[r].Children[c],
                      key + ".children[" + std::to_string(c) + "]");
    }
}

// The data tree's roots come in the spec's order, each found by its index; roots the spec
// leaves out follow in their own order.
void ApplyDataTree(const json& spec, ConfigTree& tree) {
    if (!spec.is_array())
        throw SpecError{"dataTree", "an array of data items"};
    ConfigTree fresh = BuildDataTree();
    std::vector<ConfigTreeNode> roots;
    for (std::size_t r = 0; r < spec.size(); ++r) {
        const std::string key = "dataTree[" + std::to_string(r) + "]";
        if (!spec[r].is_object() || Find(spec[r], "index") == nullptr)
            throw SpecError{key, "a node object with its index"};
        const int index = int(Integer(spec[r]["index"], key + ".index", 0, kDataNodeCount - 1));
        auto it = std::find_if(fresh.Roots.begin(), fresh.Roots.end(),
                               [&](const ConfigTreeNode& n) { return n.Index == index; });
        if (it == fresh.Roots.end())
            throw SpecError{key + ".index", "the index of a data item, once"};
        ConfigTreeNode node = std::move(*it);
        fresh.Roots.erase(it);
        ApplyNode(spec[r], node, key);
        const json& children = Children(spec[r], key);
        for (std::size_t c = 0; c < children.size(); ++c) {
            const std::string childKey = key + ".children[" + std::to_string(c) + "]";
            const json* childIndex = children[c].is_object() ? Find(children[c], "index") : nullptr;
            const int wanted =
                childIndex != nullptr
                    ? int(Integer(*childIndex, childKey + ".index", 0, kDataNodeCount - 1))
                    : -1;
            auto child = std::find_if(node.Children.begin(), node.Children.end(),
                                      [&](const ConfigTreeNode& n) { return n.Index == wanted; });
            if (child == node.Children.end())
                throw SpecError{childKey + ".index", "the index of one of the item's options"};
            ApplyNode(children[c], *child, childKey);
        }
        roots.push_back(std::move(node));
    }
    for (ConfigTreeNode& rest : fresh.Roots)
        roots.push_back(std::move(rest));
    tree.Roots = std::move(roots);
}

// Builds the configuration a spec describes. What the trees say counts; the flags, the data
// order and the selected kinds are rebuilt from them.
void ApplySpec(const json& spec, ExportConfig& config, ConfigTree& entityTree,
               ConfigTree& dataTree) {
    if (!spec.is_object())
        throw SpecError{"(top level)", "one JSON object"};
    if (const json* v = Find(spec, "dataFileExt"))
        SetDataFileExt(config, Bytes(*v, "dataFileExt"));
    if (const json* v = Find(spec, "headerLine"))
        config.HeaderLine = Flag(*v, "headerLine") ? 1 : 0;
    if (const json* v = Find(spec, "separatorChoice"))
        config.SeparatorChoice = std::int32_t(Integer(*v, "separatorChoice", 0, kSeparatorOther));
    if (const json* v = Find(spec, "blockNameFilter"))
        config.BlockNameFilter = Bytes(*v, "blockNameFilter").substr(0, kTextMax);
    if (const json* v = Find(spec, "fieldSeparator"))
        SetFieldSeparator(config, Bytes(*v, "fieldSeparator"));
    if (const json* v = Find(spec, "quoteFields"))
        config.QuoteFields = Flag(*v, "quoteFields");
    if (const json* v = Find(spec, "textMode")) {
        const std::string mode = v->is_string() ? v->get<std::string>() : std::string();
        if (mode == "as-written")
            config.Text = TextMode::AsWritten;
        else if (mode == "plain-utf8")
            config.Text = TextMode::PlainUtf8;
        else
            throw SpecError{"textMode", "\"as-written\" or \"plain-utf8\""};
    }
    if (const json* v = Find(spec, "dataOptions")) {
        if (!v->is_array() || v->size() > std::size_t(kDataNodeCount))
            throw SpecError{"dataOptions",
                            "an array of at most " + std::to_string(kDataNodeCount) + " texts"};
        for (std::size_t i = 0; i < v->size(); ++i)
            SetDataOption(config, int(i), Bytes((*v)[i], "dataOptions[" + std::to_string(i) + "]"));
    }
    if (const json* v = Find(spec, "entityTree"))
        ApplyEntityTree(*v, entityTree);
    if (const json* v = Find(spec, "dataTree"))
        ApplyDataTree(*v, dataTree);

    for (int node = 0; node < kEntityNodeCount; ++node)
        config.EntityFlags[std::size_t(node)] = EntityNodeAt(entityTree, node)->IsChecked() ? 1 : 0;
    config.DataFlags.fill(0);
    for (const ConfigTreeNode& root : dataTree.Roots)
        config.DataFlags[std::size_t(root.Index)] = root.IsChecked() ? 1 : 0;
}

std::optional<std::string> ReadSpec(const std::string& path) {
    std::stringstream text;
    if (path == "-") {
        text << std::cin.rdbuf();
        return text.str();
    }
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    text << file.rdbuf();
    return text.str();
}

constexpr const char* kMakeConfigUsage =
    "Usage: quarrow-cli make-config --json SPEC.json|- OUT.qrw\n";

}  // namespace

int MakeConfigCommand(const ParsedOptions& options, std::ostream& out, std::ostream& err) {
    (void)out;
    const std::string specPath = options.Value("json");
    if (options.Operands.size() > 1) {
        err << "quarrow-cli make-config: give one OUT file\n" << kMakeConfigUsage;
        return kExitRefused;
    }
    const std::string outPath = options.Operands.empty() ? std::string() : options.Operands[0];
    if (specPath.empty() || outPath.empty()) {
        err << "quarrow-cli make-config: give the JSON spec (--json SPEC.json, or - for "
               "standard input) and the configuration file to write\n"
            << kMakeConfigUsage;
        return kExitRefused;
    }
    const std::optional<std::string> text = ReadSpec(specPath);
    if (!text) {
        err << "quarrow-cli make-config: cannot read \"" << specPath << "\"\n";
        return kExitRefused;
    }
    const json spec = json::parse(*text, nullptr, false);
    if (spec.is_discarded()) {
        err << "quarrow-cli make-config: \"" << specPath
            << "\" is not JSON; print one with quarrow-cli show-config --json FILE.qrw\n";
        return kExitRefused;
    }
    // What the spec leaves out is as in the default configuration.
    ExportConfig config;
    ConfigTree entityTree, dataTree;
    BuildDefaultConfig(config, entityTree, dataTree);
    try {
        ApplySpec(spec, config, entityTree, dataTree);
    } catch (const SpecError& e) {
        err << "quarrow-cli make-config: \"" << e.Key << "\" in \"" << specPath << "\" must be "
            << e.What << "\n";
        return kExitRefused;
    }
    const WriteResult written = WriteConfigFile(outPath, config, entityTree, dataTree);
    if (!written.Ok) {
        err << "quarrow-cli make-config: " << written.Message << "\n";
        return kExitRefused;
    }
    return kExitDone;
}

}  // namespace quarrow
