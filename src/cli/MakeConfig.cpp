// make-config: a configuration file from the JSON object show-config --json prints.

#include <algorithm>
#include <cctype>
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
#include "config/DataTreeRules.h"
#include "config/DefaultConfig.h"
#include "config/EntityTreeRules.h"
#include "config/NodeTables.h"

namespace quarrow {
namespace {

using nlohmann::json;
using EntityFlagsArray = decltype(ExportConfig::EntityFlags);
using DataFlagsArray = decltype(ExportConfig::DataFlags);

// A key that does not hold what it should: the message names it.
struct SpecError {
    std::string Key;
    std::string What;
};

// A key make-config does not know (a typo would otherwise be ignored in silence): the message
// names it and the known key nearest to it.
struct UnknownKey {
    std::string Key;
    std::string Nearest;
};

// The keys show-config --json writes, at the top and in a tree's nodes.
constexpr std::string_view kTopKeys[] = {
    "signature",      "dataFileExt", "headerLine",    "separatorChoice", "blockNameFilter",
    "fieldSeparator", "quoteFields", "textMode",      "entityFlags",     "dataFlags",
    "dataOptions",    "dataOrder",   "selectedKinds", "entityTree",      "dataTree"};
constexpr std::string_view kNodeKeys[] = {"label",    "index",    "checkType", "checked",
                                          "disabled", "expanded", "children"};

// Returns the edit distance of two keys, letter case aside ("quoteFeilds" is 2 from
// "quoteFields").
std::size_t KeyDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// Refuses the first key of an object that is not among the known ones; where names the
// object ("" at the top, "entityTree[2]" for a node).
template <std::size_t N>
void CheckKeys(const json& object, const std::string_view (&known)[N], const std::string& where) {
    for (const auto& item : object.items()) {
        const std::string& key = item.key();
        if (std::find(std::begin(known), std::end(known), key) != std::end(known))
            continue;
        std::string_view nearest = known[0];
        for (const std::string_view candidate : known)
            if (KeyDistance(key, candidate) < KeyDistance(key, nearest))
                nearest = candidate;
        const std::string prefix = where.empty() ? std::string() : where + ".";
        throw UnknownKey{prefix + key, prefix + std::string(nearest)};
    }
}

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
    CheckKeys(spec, kNodeKeys, key);
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

// Reads a flag list of show-config --json: one 0 or 1 per node.
template <typename Flags>
Flags FlagList(const json& value, const std::string& key) {
    Flags flags{};
    if (!value.is_array() || value.size() != flags.size())
        throw SpecError{key, "an array of " + std::to_string(flags.size()) + " flags, 0 or 1"};
    for (std::size_t i = 0; i < flags.size(); ++i)
        flags[i] = Flag(value[i], key + "[" + std::to_string(i) + "]") ? 1 : 0;
    return flags;
}

// A spec without an entity tree checks the tree's nodes by its flag list, through the check
// rules: the sub-options' marks first, then each kind, which enables or disables them.
void EntityTreeFollowsFlags(const EntityFlagsArray& flags, ExportConfig& config, ConfigTree& tree) {
    int index = 0;
    std::vector<int> roots;
    for (ConfigTreeNode& root : tree.Roots) {
        roots.push_back(index++);
        for (ConfigTreeNode& child : root.Children)
            child.SetChecked(flags[std::size_t(index++)] == 1);
    }
    for (const int root : roots)
        (void)SetEntityCheck(tree, config, root, flags[std::size_t(root)] == 1);
}

// A spec without a data tree checks the data items by its flag list.
void DataTreeFollowsFlags(const DataFlagsArray& flags, ExportConfig& config, ConfigTree& tree) {
    for (std::size_t r = 0; r < tree.Roots.size(); ++r) {
        const int index = tree.Roots[r].Index;
        if (index >= 0 && std::size_t(index) < flags.size())
            (void)SetDataCheck(tree, config, TreePath{int(r)}, flags[std::size_t(index)] == 1);
    }
}

// What a spec says that its trees overrule: a flag list that contradicts them.
struct SpecNotes {
    std::vector<std::string> Overruled;
};

// Builds the configuration a spec describes. The trees say what is checked; a flag list counts
// only where its tree is left out, and the tree follows it. The flags, the data order and the
// selected kinds are rebuilt from the trees.
void ApplySpec(const json& spec, ExportConfig& config, ConfigTree& entityTree, ConfigTree& dataTree,
               SpecNotes& notes) {
    if (!spec.is_object())
        throw SpecError{"(top level)", "one JSON object"};
    CheckKeys(spec, kTopKeys, "");
    if (const json* v = Find(spec, "dataFileExt"))
        SetDataFileExt(config, Bytes(*v, "dataFileExt"));
    if (const json* v = Find(spec, "headerLine"))
        config.HeaderLine = Flag(*v, "headerLine") ? 1 : 0;
    if (const json* v = Find(spec, "separatorChoice"))
        config.SeparatorChoice = std::int32_t(Integer(*v, "separatorChoice", 0, kSeparatorOther));
    if (const json* v = Find(spec, "blockNameFilter"))
        config.BlockNameFilter = Bytes(*v, "blockNameFilter").substr(0, kTextMax);
    if (const json* v = Find(spec, "fieldSeparator")) {
        SetFieldSeparator(config, Bytes(*v, "fieldSeparator"));
        // A run takes the separator from the choice; alone, the separator sets the choice
        // that gives it.
        if (Find(spec, "separatorChoice") == nullptr)
            config.SeparatorChoice = SeparatorChoiceOf(config.FieldSeparator);
    }
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
    const json* entityFlags = Find(spec, "entityFlags");
    const json* dataFlags = Find(spec, "dataFlags");
    std::optional<EntityFlagsArray> givenEntityFlags;
    std::optional<DataFlagsArray> givenDataFlags;
    if (entityFlags != nullptr)
        givenEntityFlags = FlagList<EntityFlagsArray>(*entityFlags, "entityFlags");
    if (dataFlags != nullptr)
        givenDataFlags = FlagList<DataFlagsArray>(*dataFlags, "dataFlags");
    const json* entitySpec = Find(spec, "entityTree");
    const json* dataSpec = Find(spec, "dataTree");
    if (entitySpec != nullptr)
        ApplyEntityTree(*entitySpec, entityTree);
    else if (givenEntityFlags)
        EntityTreeFollowsFlags(*givenEntityFlags, config, entityTree);
    if (dataSpec != nullptr)
        ApplyDataTree(*dataSpec, dataTree);
    else if (givenDataFlags)
        DataTreeFollowsFlags(*givenDataFlags, config, dataTree);

    for (int node = 0; node < kEntityNodeCount; ++node)
        config.EntityFlags[std::size_t(node)] = EntityNodeAt(entityTree, node)->IsChecked() ? 1 : 0;
    config.DataFlags.fill(0);
    bool dataFlagsOverruled = false;
    for (const ConfigTreeNode& root : dataTree.Roots) {
        const auto index = std::size_t(root.Index);
        config.DataFlags[index] = root.IsChecked() ? 1 : 0;
        dataFlagsOverruled = dataFlagsOverruled || (givenDataFlags && (*givenDataFlags)[index] !=
                                                                          config.DataFlags[index]);
    }
    if (entitySpec != nullptr && givenEntityFlags && *givenEntityFlags != config.EntityFlags)
        notes.Overruled.push_back("entityFlags");
    if (dataSpec != nullptr && dataFlagsOverruled)
        notes.Overruled.push_back("dataFlags");
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
    SpecNotes notes;
    try {
        ApplySpec(spec, config, entityTree, dataTree, notes);
    } catch (const SpecError& e) {
        err << "quarrow-cli make-config: \"" << e.Key << "\" in \"" << specPath << "\" must be "
            << e.What << "\n";
        return kExitRefused;
    } catch (const UnknownKey& e) {
        err << "quarrow-cli make-config: unknown key \"" << e.Key << "\" in \"" << specPath
            << "\"; the nearest known key is \"" << e.Nearest << "\"\n";
        return kExitRefused;
    }
    const WriteResult written = WriteConfigFile(outPath, config, entityTree, dataTree);
    if (!written.Ok) {
        err << "quarrow-cli make-config: " << written.Message << "\n";
        return kExitRefused;
    }
    for (const std::string& key : notes.Overruled)
        err << "quarrow-cli make-config: \"" << key << "\" in \"" << specPath
            << "\" contradicts the tree; the tree's check marks were written\n";
    return kExitDone;
}

}  // namespace quarrow
