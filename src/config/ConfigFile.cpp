#include "config/ConfigFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "config/FileReplace.h"
#include "config/NodeTables.h"
#include "config/TreePath.h"

namespace quarrow {
namespace {

// Byte layout of the fields part.
constexpr std::size_t kSignatureOffset = 0;
constexpr std::size_t kSignatureSlot = 7;
constexpr std::size_t kExtOffset = 7;
constexpr std::size_t kExtSlot = 11;
constexpr std::size_t kFilterOffset = 18;
constexpr std::size_t kTextSlot = 256;
constexpr std::size_t kChoiceOffset = 274;
constexpr std::size_t kSeparatorOffset = 278;
constexpr std::size_t kHeaderOffset = 534;
constexpr std::size_t kEntityFlagsOffset = 535;
constexpr std::size_t kDataFlagsOffset = 560;
constexpr std::size_t kOptionsOffset = 592;
static_assert(kOptionsOffset + kTextSlot * kStoredDataNodeCount == kEntityStreamOffset);
static_assert(kDataFlagsOffset + kStoredDataNodeCount == kOptionsOffset);

constexpr std::array<std::uint16_t, 6> kMarker = {0x2045, 0x0056, 0x0054, 2, 0x0020, 0x2046};
constexpr std::size_t kMarkerSize = 12;

enum ChunkType : std::int32_t {
    NodeChunk = 1,
    StateChunk = 2,
    LabelChunk = 3,
    DataChunk = 4,
    ExtraChunk = 5,  // after the data tree: options a reader of the first format never sees
};
// The parts of the extra chunk; a reader skips the ones it does not know.
enum ExtraPart : std::uint32_t {
    QuotePart = 1,        // u8: QuoteFields
    TextModePart = 2,     // u8: TextMode
    ExtraNodePart = 3,    // u32 display position among the data tree's roots, then the node
    ExtraOptionPart = 4,  // u32 node index, then the text as length byte and bytes
};
constexpr std::size_t kChunkHeaderSize = 8;
constexpr std::size_t kStateBodySize = 17;
constexpr std::size_t kOldStateBodySize = 12;  // versions 0 and 1

// Little-endian helpers over a byte vector.
void PutU8(std::vector<std::uint8_t>& out, std::uint8_t v) {
    out.push_back(v);
}
void PutU16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}
void PatchU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}
std::uint32_t GetU32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t GetU16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

void PutTextSlot(std::uint8_t* slot, std::size_t slotSize, std::string_view text) {
    const std::size_t length = std::min(text.size(), slotSize - 1);
    std::fill(slot, slot + slotSize, std::uint8_t{0});
    slot[0] = static_cast<std::uint8_t>(length);
    std::memcpy(slot + 1, text.data(), length);
}

// A length byte larger than its slot allows takes the slot's size.
std::string GetTextSlot(const std::uint8_t* slot, std::size_t slotSize) {
    const std::size_t length = std::min<std::size_t>(slot[0], slotSize - 1);
    return std::string(reinterpret_cast<const char*>(slot + 1), length);
}

// The fields part of a file, as the writer lays it out.
std::array<std::uint8_t, kEntityStreamOffset> EncodeFields(const ExportConfig& c) {
    std::array<std::uint8_t, kEntityStreamOffset> image{};
    PutTextSlot(&image[kSignatureOffset], kSignatureSlot, c.ConfigSignature);
    PutTextSlot(&image[kExtOffset], kExtSlot, c.DataFileExt);
    PutTextSlot(&image[kFilterOffset], kTextSlot, c.BlockNameFilter);
    const auto choice = static_cast<std::uint32_t>(c.SeparatorChoice);
    for (std::size_t i = 0; i < 4; ++i)
        image[kChoiceOffset + i] = static_cast<std::uint8_t>(choice >> (8 * i));
    PutTextSlot(&image[kSeparatorOffset], kTextSlot, c.FieldSeparator);
    image[kHeaderOffset] = c.HeaderLine;
    std::copy(c.EntityFlags.begin(), c.EntityFlags.end(), image.begin() + kEntityFlagsOffset);
    std::copy_n(c.DataFlags.begin(), kStoredDataNodeCount, image.begin() + kDataFlagsOffset);
    for (std::size_t i = 0; i < std::size_t(kStoredDataNodeCount); ++i)
        PutTextSlot(&image[kOptionsOffset + kTextSlot * i], kTextSlot, c.DataOptions[i]);
    return image;
}

void DecodeFields(const std::array<std::uint8_t, kEntityStreamOffset>& image, ExportConfig& c) {
    c.ConfigSignature = GetTextSlot(&image[kSignatureOffset], kSignatureSlot);
    c.DataFileExt = GetTextSlot(&image[kExtOffset], kExtSlot);
    c.BlockNameFilter = GetTextSlot(&image[kFilterOffset], kTextSlot);
    c.SeparatorChoice = static_cast<std::int32_t>(GetU32(&image[kChoiceOffset]));
    c.FieldSeparator = GetTextSlot(&image[kSeparatorOffset], kTextSlot);
    c.HeaderLine = image[kHeaderOffset];
    std::copy_n(image.begin() + kEntityFlagsOffset, c.EntityFlags.size(), c.EntityFlags.begin());
    std::copy_n(image.begin() + kDataFlagsOffset, kStoredDataNodeCount, c.DataFlags.begin());
    for (std::size_t i = 0; i < std::size_t(kStoredDataNodeCount); ++i)
        c.DataOptions[i] = GetTextSlot(&image[kOptionsOffset + kTextSlot * i], kTextSlot);
}

std::string_view NodeLabel(const ConfigTree& tree, const ConfigTreeNode& node, int position) {
    const int index = tree.Kind == TreeKind::Data ? node.Index : position;
    if (tree.Kind == TreeKind::Data)
        return index >= 0 && index < kDataNodeCount ? kDataNodes[std::size_t(index)].Label : "";
    return index >= 0 && index < kEntityNodeCount ? kEntityNodes[std::size_t(index)].Label : "";
}

void WriteNode(const ConfigTree& tree, const ConfigTreeNode& node, int& position,
               std::vector<std::uint8_t>& out) {
    const std::string_view label = NodeLabel(tree, node, position);
    ++position;

    const std::size_t p = out.size();
    PutU32(out, NodeChunk);
    PutU32(out, 0);

    const std::size_t q = out.size();
    PutU32(out, StateChunk);
    PutU32(out, 0);
    PutU32(out, static_cast<std::uint32_t>(node.Children.size()));
    PutU32(out, node.Height);
    PutU16(out, static_cast<std::uint16_t>(node.States & ~NodeState::NeverWritten));
    PutU8(out, node.Alignment);
    PutU8(out, node.IsChecked() ? CheckState::Checked : CheckState::Unchecked);
    PutU8(out, node.CheckType);
    PutU32(out, 0);
    for (const auto& child : node.Children)
        WriteNode(tree, child, position, out);
    PatchU32(out, q + 4, static_cast<std::uint32_t>(out.size() - q - kChunkHeaderSize));

    if (tree.Kind == TreeKind::Data) {
        PutU32(out, DataChunk);
        PutU32(out, 4);
        PutU32(out, static_cast<std::uint32_t>(node.Index));
    }
    if (!label.empty()) {
        PutU32(out, LabelChunk);
        PutU32(out, static_cast<std::uint32_t>(2 * label.size()));
        for (char c : label)  // the labels are ASCII, so each is one UTF-16 unit
            PutU16(out, static_cast<unsigned char>(c));
    }
    PatchU32(out, p + 4, static_cast<std::uint32_t>(out.size() - p - kChunkHeaderSize));
}

// Reads a tree stream; every read is bounds-checked and every failure is a message.
class TreeStreamReader {
public:
    TreeStreamReader(const ConfigTree& tree, std::string_view data, std::size_t& position)
        : tree_(tree), data_(reinterpret_cast<const unsigned char*>(data.data())),
          size_(data.size()), pos_(position) {}

    std::string ReadRoots(std::vector<ConfigTreeNode>& roots) {
        if (pos_ > size_ || size_ - pos_ < kMarkerSize)
            return std::string(kMsgNotEnoughData);
        std::array<std::uint16_t, 6> marker{};
        for (std::size_t i = 0; i < marker.size(); ++i)
            marker[i] = GetU16(data_ + pos_ + 2 * i);
        pos_ += kMarkerSize;
        if (marker[0] != kMarker[0] || marker[1] != kMarker[1] || marker[2] != kMarker[2] ||
            marker[5] != kMarker[5])
            return std::string(kMsgWrongFormat);
        version_ = marker[3];
        if (version_ > 2)
            return std::string(kMsgUnknownVersion);

        std::uint64_t remaining = UINT64_MAX;  // versions 0 and 1 run to the end of the data
        if (version_ == 2) {
            if (Remaining() < 4)
                return std::string(kMsgDataEnds);
            remaining = GetU32(data_ + pos_);
            pos_ += 4;
        }
        while (remaining > 0 && pos_ < size_) {
            roots.emplace_back();
            if (std::string error = ReadNode(roots.back(), 1); !error.empty())
                return error;
            --remaining;
        }
        // A version-2 stream knows its root count: data that ends between two roots is a
        // truncated file, not a smaller tree, and must not pass as read in full.
        if (version_ == 2 && remaining > 0)
            return std::string(kMsgNotEnoughData);
        return {};
    }

    std::string ReadNode(ConfigTreeNode& node, int depth) {
        if (depth > kMaxTreeDepth)
            return std::string(kMsgTooDeep);
        std::int32_t type = 0;
        std::int32_t size = 0;
        if (!ReadHeader(type, size))
            return std::string(kMsgDataEnds);
        if (type != NodeChunk)
            return std::string(kMsgAnchorMissing);
        if (size < 0 || static_cast<std::size_t>(size) > Remaining())
            return std::string(kMsgBadChunkSize);
        const std::size_t end = pos_ + static_cast<std::size_t>(size);

        while (pos_ < end) {
            if (!ReadHeader(type, size))
                return std::string(kMsgDataEnds);
            if (size < 0 || static_cast<std::size_t>(size) > Remaining())
                return std::string(kMsgBadChunkSize);
            const std::size_t chunkEnd = pos_ + static_cast<std::size_t>(size);
            switch (type) {
            case StateChunk:
                if (std::string error = ReadState(node, depth); !error.empty())
                    return error;
                break;  // children were read in place: go on from where they ended
            case DataChunk:
                if (size > 0 && tree_.Kind == TreeKind::Data) {
                    if (Remaining() < 4)
                        return std::string(kMsgDataEnds);
                    node.Index = static_cast<std::int32_t>(GetU32(data_ + pos_));
                }
                pos_ = chunkEnd;
                break;
            case LabelChunk:  // labels always come from the node tables
            default:          // unknown chunks are skipped by their size
                pos_ = chunkEnd;
                break;
            }
        }
        if (pos_ > end)
            return std::string(kMsgDataAfterEnd);
        return {};
    }

private:
    std::size_t Remaining() const { return size_ - pos_; }

    std::string ReadState(ConfigTreeNode& node, int depth) {
        const std::size_t bodySize = version_ == 2 ? kStateBodySize : kOldStateBodySize;
        if (Remaining() < bodySize)
            return std::string(kMsgDataEnds);
        const unsigned char* body = data_ + pos_;
        const std::uint32_t childCount = GetU32(body);
        node.Height = static_cast<std::uint16_t>(GetU32(body + 4));
        if (version_ == 2) {
            node.States = GetU16(body + 8);
            node.Alignment = body[10];
            node.CheckState = body[11];
            node.CheckType = body[12];
        } else {
            const std::uint8_t state = body[8];
            node.States = static_cast<std::uint16_t>(state | ((state & 0x80) ? 0x100 : 0x80));
            node.Alignment = body[9];
            node.CheckState = body[10];
            node.CheckType = body[11];
        }
        pos_ += bodySize;
        // Each child consumes at least a header or fails, so a hostile count ends at the data.
        for (std::uint32_t i = 0; i < childCount; ++i) {
            node.Children.emplace_back();
            if (std::string error = ReadNode(node.Children.back(), depth + 1); !error.empty())
                return error;
        }
        return {};
    }

    bool ReadHeader(std::int32_t& type, std::int32_t& size) {
        if (Remaining() < kChunkHeaderSize)
            return false;
        type = static_cast<std::int32_t>(GetU32(data_ + pos_));
        size = static_cast<std::int32_t>(GetU32(data_ + pos_ + 4));
        pos_ += kChunkHeaderSize;
        return true;
    }

    const ConfigTree& tree_;
    const unsigned char* data_;
    std::size_t size_;
    std::size_t& pos_;
    std::uint16_t version_ = 2;
};

void ClearSelected(std::vector<ConfigTreeNode>& nodes);

// The roots the tree stream holds: all but the items added after its format (a foreign index
// a damaged file brings stays where it was read).
bool IsStoredRoot(const ConfigTree& tree, const ConfigTreeNode& root) {
    return tree.Kind != TreeKind::Data || root.Index < kStoredDataNodeCount ||
           root.Index >= kDataNodeCount;
}

// The extra chunk's bytes for a configuration and its data tree; empty parts are left out.
std::vector<std::uint8_t> BuildExtraParts(const ExportConfig& config, const ConfigTree& dataTree) {
    std::vector<std::uint8_t> out;
    const auto part = [&out](ExtraPart type, auto&& body) {
        PutU32(out, type);
        const std::size_t at = out.size();
        PutU32(out, 0);
        body();
        PatchU32(out, at, static_cast<std::uint32_t>(out.size() - at - 4));
    };
    if (config.QuoteFields)
        part(QuotePart, [&] { PutU8(out, 1); });
    if (config.Text != TextMode::AsWritten)
        part(TextModePart, [&] { PutU8(out, static_cast<std::uint8_t>(config.Text)); });
    std::array<bool, kDataNodeCount> written{};
    // The position counts the roots a reader will hold, so a duplicate left out is not counted:
    // otherwise the item lands one place earlier when read back, and the next save differs.
    std::uint32_t at = 0;
    for (const ConfigTreeNode& root : dataTree.Roots) {
        if (IsStoredRoot(dataTree, root)) {
            ++at;
            continue;
        }
        // An item twice (only a damaged file brings that) is kept once.
        if (written[std::size_t(root.Index)])
            continue;
        written[std::size_t(root.Index)] = true;
        part(ExtraNodePart, [&] {
            PutU32(out, at);
            int position = 0;
            WriteNode(dataTree, root, position, out);
        });
        ++at;
    }
    for (int index = kStoredDataNodeCount; index < kDataNodeCount; ++index) {
        const std::string& text = config.DataOptions[std::size_t(index)];
        if (text.empty())
            continue;
        part(ExtraOptionPart, [&] {
            PutU32(out, static_cast<std::uint32_t>(index));
            const std::size_t length = std::min<std::size_t>(text.size(), kTextMax);
            PutU8(out, static_cast<std::uint8_t>(length));
            out.insert(out.end(), text.begin(), text.begin() + std::ptrdiff_t(length));
        });
    }
    return out;
}

// The data tree as a file without an extra chunk leaves it: the roots after the stored ones,
// as a new tree has them, after the tree's own roots.
void AddMissingDataItems(ConfigTree& dataTree) {
    for (const ConfigTreeNode& fresh : BuildDataTree().Roots) {
        const bool present =
            std::any_of(dataTree.Roots.begin(), dataTree.Roots.end(),
                        [&](const ConfigTreeNode& root) { return root.Index == fresh.Index; });
        if (!present && !IsStoredRoot(dataTree, fresh))
            dataTree.Roots.push_back(fresh);
    }
}

// Resets what the extra chunk holds to what a file without one means.
void ResetExtraOptions(ExportConfig& config) {
    config.QuoteFields = false;
    config.Text = TextMode::AsWritten;
    for (int index = kStoredDataNodeCount; index < kDataNodeCount; ++index) {
        config.DataFlags[std::size_t(index)] = 0;
        config.DataOptions[std::size_t(index)].clear();
    }
}

// Reads the parts of an extra chunk, data[position, end), into the configuration and the data
// tree.
std::string ReadExtraParts(std::string_view data, std::size_t position, std::size_t end,
                           ExportConfig& config, ConfigTree& dataTree) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    while (position < end) {
        if (end - position < 8)
            return std::string(kMsgDataEnds);
        const std::uint32_t type = GetU32(bytes + position);
        const std::size_t partSize = GetU32(bytes + position + 4);
        position += 8;
        if (partSize > end - position)
            return std::string(kMsgBadChunkSize);
        const std::string_view body = data.substr(position, partSize);
        const auto* b = reinterpret_cast<const unsigned char*>(body.data());
        switch (type) {
        case QuotePart:
            if (body.size() != 1)
                return std::string(kMsgBadChunkSize);
            config.QuoteFields = b[0] != 0;
            break;
        case TextModePart:
            if (body.size() != 1)
                return std::string(kMsgBadChunkSize);
            // A mode this build does not know keeps the bytes as written.
            config.Text = b[0] == 1 ? TextMode::PlainUtf8 : TextMode::AsWritten;
            break;
        case ExtraNodePart: {
            if (body.size() < 4)
                return std::string(kMsgDataEnds);
            const std::uint32_t at = GetU32(b);
            ConfigTreeNode node;
            std::size_t nodePosition = 4;
            TreeStreamReader reader(dataTree, body, nodePosition);
            if (std::string error = reader.ReadNode(node, 1); !error.empty())
                return error;
            if (nodePosition != body.size())
                return std::string(kMsgDataAfterEnd);
            // Only the extra items travel here; their place is kept within the tree's size.
            if (IsStoredRoot(dataTree, node))
                break;
            auto& roots = dataTree.Roots;
            roots.erase(
                std::remove_if(roots.begin(), roots.end(),
                               [&](const ConfigTreeNode& r) { return r.Index == node.Index; }),
                roots.end());
            ClearSelected(node.Children);
            node.SetState(NodeState::Selected, false);
            config.DataFlags[std::size_t(node.Index)] = node.IsChecked() ? 1 : 0;
            roots.insert(roots.begin() + std::ptrdiff_t(std::min<std::size_t>(at, roots.size())),
                         std::move(node));
            break;
        }
        case ExtraOptionPart: {
            if (body.size() < 5 || std::size_t(b[4]) > body.size() - 5)
                return std::string(kMsgDataEnds);
            const std::uint32_t index = GetU32(b);
            if (index >= std::uint32_t(kStoredDataNodeCount) &&
                index < std::uint32_t(kDataNodeCount))
                config.DataOptions[index] = std::string(body.substr(5, b[4]));
            break;
        }
        default: break;  // written by a later build: skipped by its size
        }
        position += partSize;
    }
    return {};
}

// Reads the chunks after the data tree: the extra chunk, and chunks of a later build, skipped.
std::string ReadChunksAfterTrees(std::string_view data, std::size_t position, ExportConfig& config,
                                 ConfigTree& dataTree) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    while (position < data.size()) {
        if (data.size() - position < kChunkHeaderSize)
            return std::string(kMsgDataEnds);
        const std::uint32_t type = GetU32(bytes + position);
        const std::size_t size = GetU32(bytes + position + 4);
        position += kChunkHeaderSize;
        if (size > data.size() - position)
            return std::string(kMsgBadChunkSize);
        if (type == ExtraChunk) {
            if (std::string error =
                    ReadExtraParts(data, position, position + size, config, dataTree);
                !error.empty())
                return error;
        }
        position += size;
    }
    return {};
}

void ClearSelected(std::vector<ConfigTreeNode>& nodes) {
    for (auto& node : nodes) {
        node.SetState(NodeState::Selected, false);
        ClearSelected(node.Children);
    }
}

// Whole configuration files are 12749 bytes; a file far larger is not one of ours, and reading
// it whole would let a stray path exhaust memory.
constexpr std::uintmax_t kMaxConfigFileSize = 16u << 20;

}  // namespace

void WriteTreeStream(const ConfigTree& tree, std::vector<std::uint8_t>& out) {
    for (std::uint16_t unit : kMarker)
        PutU16(out, unit);
    // Items a reader of the first format does not know travel in the extra chunk instead.
    const auto stored =
        std::count_if(tree.Roots.begin(), tree.Roots.end(),
                      [&](const ConfigTreeNode& r) { return IsStoredRoot(tree, r); });
    PutU32(out, static_cast<std::uint32_t>(stored));
    int position = 0;
    for (const auto& root : tree.Roots)
        if (IsStoredRoot(tree, root))
            WriteNode(tree, root, position, out);
}

std::string ReadTreeStream(ConfigTree& tree, std::string_view data, std::size_t& position) {
    tree.Roots.clear();
    TreeStreamReader reader(tree, data, position);
    std::string error = reader.ReadRoots(tree.Roots);
    ClearSelected(tree.Roots);
    return error;
}

std::vector<std::uint8_t> BuildConfigFile(ExportConfig& config, const ConfigTree& entityTree,
                                          const ConfigTree& dataTree) {
    config.ConfigSignature = std::string(kConfigSignature);
    const auto fields = EncodeFields(config);
    std::vector<std::uint8_t> out(fields.begin(), fields.end());
    out.reserve(kConfigFileSize);
    WriteTreeStream(entityTree, out);
    WriteTreeStream(dataTree, out);
    // The extra chunk only when something in it differs from what its absence means, so a
    // configuration that uses none of it is the file earlier builds wrote, byte for byte.
    const std::vector<std::uint8_t> extra = BuildExtraParts(config, dataTree);
    ExportConfig plain = config;
    ResetExtraOptions(plain);
    ConfigTree plainTree = dataTree;
    plainTree.Roots.erase(
        std::remove_if(plainTree.Roots.begin(), plainTree.Roots.end(),
                       [&](const ConfigTreeNode& r) { return !IsStoredRoot(plainTree, r); }),
        plainTree.Roots.end());
    AddMissingDataItems(plainTree);
    if (extra != BuildExtraParts(plain, plainTree)) {
        PutU32(out, ExtraChunk);
        PutU32(out, static_cast<std::uint32_t>(extra.size()));
        out.insert(out.end(), extra.begin(), extra.end());
    }
    return out;
}

std::vector<std::uint8_t> ComparableConfigBytes(const ExportConfig& config,
                                                const ConfigTree& entityTree,
                                                const ConfigTree& dataTree) {
    ExportConfig copy = config;
    ConfigTree entities = entityTree;
    ConfigTree data = dataTree;
    for (ConfigTree* tree : {&entities, &data})
        ForEachNode(*tree, [](const TreePath&, ConfigTreeNode& node) {
            node.SetState(NodeState::Selected, false);
            node.SetState(NodeState::Expanded, false);
        });
    return BuildConfigFile(copy, entities, data);
}

bool IsConfigChanged(const ConfigState& state, const ConfigTree& entityTree,
                     const ConfigTree& dataTree) {
    return state.SavedBytes.empty() ||
           ComparableConfigBytes(state.Config, entityTree, dataTree) != state.SavedBytes;
}

void MarkConfigSaved(ConfigState& state, const ConfigTree& entityTree, const ConfigTree& dataTree) {
    state.SavedBytes = ComparableConfigBytes(state.Config, entityTree, dataTree);
}

void MarkConfigUnsaved(ConfigState& state) {
    state.SavedBytes.clear();
}

WriteResult WriteConfigFile(const std::string& path, ExportConfig& config,
                            const ConfigTree& entityTree, const ConfigTree& dataTree) {
    const std::vector<std::uint8_t> bytes = BuildConfigFile(config, entityTree, dataTree);
    const ReplaceResult result = ReplaceFileContents(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (result.Ok())
        return {};
    return WriteResult{false,
                       "Cannot create file \"" + path + "\". " + SystemErrorText(result.Error)};
}

namespace {

// Reads the fields, the trees and the chunks after them, as they are.
ReadResult ReadConfigParts(std::string_view data, ExportConfig& config, ConfigTree& entityTree,
                           ConfigTree& dataTree) {
    static constexpr std::string_view kSignatureBytes = "\x06QRW300";
    if (data.size() < kSignatureBytes.size() || data.substr(0, 7) != kSignatureBytes)
        return {ConfigReadOutcome::NotRead, std::string(kMsgNotAConfigFile)};

    // A short file overwrites only the bytes it has: the rest keep their previous values.
    auto image = EncodeFields(config);
    const std::size_t present = std::min(data.size(), image.size());
    std::memcpy(image.data(), data.data(), present);
    DecodeFields(image, config);

    std::size_t position = kEntityStreamOffset;
    if (std::string error = ReadTreeStream(entityTree, data, position); !error.empty())
        return {ConfigReadOutcome::TreesDamaged, error};
    ResetExtraOptions(config);
    if (std::string error = ReadTreeStream(dataTree, data, position); !error.empty()) {
        AddMissingDataItems(dataTree);
        return {ConfigReadOutcome::TreesDamaged, error};
    }
    AddMissingDataItems(dataTree);
    if (std::string error = ReadChunksAfterTrees(data, position, config, dataTree); !error.empty())
        return {ConfigReadOutcome::TreesDamaged, error};
    return {ConfigReadOutcome::ReadInFull, {}};
}

}  // namespace

bool RebuildFlagsFromTrees(ExportConfig& config, const ConfigTree& entityTree,
                           const ConfigTree& dataTree) {
    bool changed = false;
    const auto follow = [&changed](std::uint8_t& flag, bool checked) {
        const std::uint8_t wanted = checked ? 1 : 0;
        changed = changed || flag != wanted;
        flag = wanted;
    };
    for (int index = 0; index < kEntityNodeCount; ++index)
        if (const ConfigTreeNode* node = EntityNodeAt(entityTree, index))
            follow(config.EntityFlags[std::size_t(index)], node->IsChecked());
    // An item twice (only a damaged file brings that) counts by its first place.
    std::array<bool, kDataNodeCount> seen{};
    for (const ConfigTreeNode& root : dataTree.Roots) {
        if (root.Index < 0 || root.Index >= kDataNodeCount || seen[std::size_t(root.Index)])
            continue;
        seen[std::size_t(root.Index)] = true;
        follow(config.DataFlags[std::size_t(root.Index)], root.IsChecked());
    }
    return changed;
}

ReadResult ReadConfigData(std::string_view data, ExportConfig& config, ConfigTree& entityTree,
                          ConfigTree& dataTree) {
    ReadResult result = ReadConfigParts(data, config, entityTree, dataTree);
    // Runs export what the trees show (the selected kinds and the data order come from them);
    // flags that say otherwise (Circles unchecked with its flag set) would write more.
    if (result.Outcome != ConfigReadOutcome::NotRead)
        result.FlagsRebuilt = RebuildFlagsFromTrees(config, entityTree, dataTree);
    return result;
}

ReadResult ReadConfigFile(const std::string& path, ExportConfig& config, ConfigTree& entityTree,
                          ConfigTree& dataTree) {
    const auto fail = [&](int error) {
        return ReadResult{ConfigReadOutcome::NotRead,
                          "Cannot open file \"" + path + "\". " + SystemErrorText(error)};
    };
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (std::filesystem::is_directory(status))
        return fail(EISDIR);
    // Opening a named pipe waits for a writer that may never come, and a device may never
    // end: only files are read.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return {ConfigReadOutcome::NotRead,
                "Cannot open file \"" + path + "\". Not a regular file"};
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return fail(errno);
    std::string data;
    std::array<char, 16384> block;
    bool tooLarge = false;
    for (;;) {
        const std::size_t n = std::fread(block.data(), 1, block.size(), file);
        data.append(block.data(), n);
        if (data.size() > kMaxConfigFileSize) {
            tooLarge = true;
            break;
        }
        if (n < block.size())
            break;
    }
    const int readError = std::ferror(file) ? (errno != 0 ? errno : EIO) : 0;
    std::fclose(file);
    if (readError != 0)
        return fail(readError);
    if (tooLarge)
        return {ConfigReadOutcome::NotRead, std::string(kMsgNotAConfigFile)};
    return ReadConfigData(data, config, entityTree, dataTree);
}

}  // namespace quarrow
