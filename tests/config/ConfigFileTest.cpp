#include "config/ConfigFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include <sys/stat.h>

#include "config/DefaultConfig.h"
#include "config/NodeTables.h"
#include "support/TempDir.h"

namespace quarrow {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

constexpr std::size_t kDataStreamOffset = 10361;

std::uint32_t U32At(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, 4);  // little-endian test machines (x86-64, ARM)
    return v;
}
void PutU32At(std::string& bytes, std::size_t at, std::uint32_t v) {
    std::memcpy(bytes.data() + at, &v, 4);
}
std::string U32(std::uint32_t v) {
    std::string s(4, '\0');
    PutU32At(s, 0, v);
    return s;
}
std::string Chunk(std::int32_t type, std::string_view body) {
    return U32(std::uint32_t(type)) + U32(std::uint32_t(body.size())) + std::string(body);
}
// A version-2 node record with the given children, built by hand for hostile variations.
std::string NodeRecord(const std::string& children = {}, std::uint32_t childCount = 0,
                       std::string extra = {}) {
    std::string body = U32(childCount) + U32(18) + std::string("\x81\x00", 2) + "\x32" +
                       std::string("\x02\x02", 2) + U32(0);
    return Chunk(1, Chunk(2, body + children) + extra);
}
std::string Marker(std::uint16_t version = 2, std::uint16_t unit4 = 0x20) {
    const std::uint16_t units[6] = {0x2045, 0x56, 0x54, version, unit4, 0x2046};
    return std::string(reinterpret_cast<const char*>(units), 12);
}

struct Fixture {
    ExportConfig config;
    ConfigTree entityTree = BuildEntityTree();
    ConfigTree dataTree = BuildDataTree();
};

// A configuration that uses every field and several tree states, so a round trip can fail.
Fixture Varied() {
    Fixture f;
    SetDataFileExt(f.config, " txt");
    f.config.HeaderLine = 1;
    f.config.SeparatorChoice = 5;
    SetFieldSeparator(f.config, " |\t");
    SetBlockNameFilter(f.config, "DOOR*, WIN?");
    for (int i = 0; i < kStoredDataNodeCount; ++i)
        if (!IsDataItemNode(i))
            SetDataOption(f.config, i, "opt" + std::to_string(i) + "\xE9");
    for (int i = 0; i < kEntityNodeCount; i += 3)
        EntityNodeAt(f.entityTree, i)->SetChecked(true);
    EntityNodeAt(f.entityTree, 2)->SetChecked(true);
    EntityNodeAt(f.entityTree, 4)->SetState(NodeState::Disabled, true);
    EntityNodeAt(f.entityTree, 19)->SetState(NodeState::Expanded, true);
    std::swap(f.dataTree.Roots[0], f.dataTree.Roots[11]);
    f.dataTree.Roots[0].SetChecked(true);
    f.dataTree.Roots[5].SetState(NodeState::Expanded, true);
    for (ConfigTreeNode& root : f.dataTree.Roots)
        if (root.Index == 9 || root.Index == 26)
            root.SetChecked(true);
    // The flags a save from the desktop program holds: the trees' check marks.
    (void)RebuildFlagsFromTrees(f.config, f.entityTree, f.dataTree);
    return f;
}

std::string Bytes(Fixture f) {
    const auto v = BuildConfigFile(f.config, f.entityTree, f.dataTree);
    return std::string(v.begin(), v.end());
}

TEST(ConfigFileTest, RoundTripRestoresEveryFieldStateAndOrder) {
    TempDir dir;
    Fixture written = Varied();
    const std::string path = dir / "a.qrw";
    ASSERT_TRUE(WriteConfigFile(path, written.config, written.entityTree, written.dataTree).Ok);
    EXPECT_EQ(written.config.ConfigSignature, "QRW300");

    Fixture read;
    const ReadResult result = ReadConfigFile(path, read.config, read.entityTree, read.dataTree);
    EXPECT_EQ(result.Outcome, ConfigReadOutcome::ReadInFull) << result.Message;
    EXPECT_EQ(read.config, written.config);
    EXPECT_EQ(read.entityTree, written.entityTree);
    EXPECT_EQ(read.dataTree, written.dataTree);
    EXPECT_EQ(BuildDataOrder(read.dataTree)[0], 29);
}

// The options added after the first format (quoting, text mode, the Attributes item) travel
// in one chunk after the data tree: absent while unused, so such files keep their bytes, and
// skipped by a reader of the first format, which stops after the data tree's last root.
TEST(ConfigFileTest, ExtraOptionsRoundTripAfterTheTreesAndOnlyWhenUsed) {
    Fixture plain = Varied();
    const std::string plainBytes = Bytes(plain);
    ASSERT_EQ(plainBytes.size(), kConfigFileSize);

    Fixture extra = Varied();
    extra.config.QuoteFields = true;
    extra.config.Text = TextMode::PlainUtf8;
    SetDataOption(extra.config, kAttributesTagsOption, "PT, ELEV,DESC");
    SetDataOption(extra.config, kAttributesPrefixOption, "a:");
    // The Attributes item checked and moved to the second place.
    auto& roots = extra.dataTree.Roots;
    auto attributes = std::find_if(roots.begin(), roots.end(), [](const ConfigTreeNode& r) {
        return r.Index == int(DataNode::Attributes);
    });
    ASSERT_NE(attributes, roots.end());
    attributes->SetChecked(true);
    attributes->SetState(NodeState::Expanded, true);
    std::rotate(roots.begin() + 1, attributes, attributes + 1);
    extra.config.DataFlags[std::size_t(DataNode::Attributes)] = 1;

    const std::string extraBytes = Bytes(extra);
    // Everything a reader of the first format reads is the same bytes as without the options.
    ASSERT_GT(extraBytes.size(), plainBytes.size());
    EXPECT_EQ(extraBytes.substr(0, plainBytes.size()), plainBytes);
    EXPECT_EQ(U32At(extraBytes, plainBytes.size()), 5u);

    Fixture read;
    ReadResult result = ReadConfigData(extraBytes, read.config, read.entityTree, read.dataTree);
    ASSERT_EQ(result.Outcome, ConfigReadOutcome::ReadInFull) << result.Message;
    read.config.ConfigSignature = extra.config.ConfigSignature;
    EXPECT_EQ(read.config, extra.config);
    EXPECT_EQ(read.dataTree, extra.dataTree);
    EXPECT_EQ(Bytes(read), extraBytes);
    EXPECT_EQ(BuildDataOrder(read.dataTree)[1], int(DataNode::Attributes));

    // A file without the chunk resets the options, and the item comes back last, unchecked.
    result = ReadConfigData(plainBytes, read.config, read.entityTree, read.dataTree);
    ASSERT_EQ(result.Outcome, ConfigReadOutcome::ReadInFull) << result.Message;
    EXPECT_FALSE(read.config.QuoteFields);
    EXPECT_EQ(read.config.Text, TextMode::AsWritten);
    EXPECT_EQ(read.config.DataOptions[kAttributesTagsOption], "");
    EXPECT_EQ(read.dataTree, plain.dataTree);

    // A part of a later build is skipped; a chunk cut short is damage.
    std::string later = plainBytes + Chunk(5, Chunk(99, "xyz") + Chunk(1, "\x01"));
    result = ReadConfigData(later, read.config, read.entityTree, read.dataTree);
    EXPECT_EQ(result.Outcome, ConfigReadOutcome::ReadInFull) << result.Message;
    EXPECT_TRUE(read.config.QuoteFields);
    for (std::size_t cut = plainBytes.size() + 1; cut < extraBytes.size(); cut += 7) {
        result = ReadConfigData(std::string_view(extraBytes).substr(0, cut), read.config,
                                read.entityTree, read.dataTree);
        EXPECT_EQ(result.Outcome, ConfigReadOutcome::TreesDamaged) << cut;
    }
}

TEST(ConfigFileTest, LayoutHasItsFixedOffsetsAndSize) {
    const std::string file = Bytes(Varied());
    ASSERT_EQ(file.size(), kConfigFileSize);
    EXPECT_EQ(file.substr(0, 7), "\x06QRW300");
    EXPECT_EQ(file.substr(7, 5), std::string("\x04 txt", 5));
    EXPECT_EQ(file.substr(18, 12), "\x0B"
                                   "DOOR*, WIN?");
    EXPECT_EQ(U32At(file, 274), 5u);
    EXPECT_EQ(file.substr(278, 4), "\x03 |\t");
    EXPECT_EQ(file[534], 1);
    EXPECT_EQ(file[535], 1);
    EXPECT_EQ(file[538], 1);
    EXPECT_EQ(file[560 + 9], 1);
    EXPECT_EQ(file.substr(592 + 256, 6), "\x05opt1\xE9");
    EXPECT_EQ(file.substr(592 + 256 * 31, 7), "\x06opt31\xE9");
    const std::string marker("\x45\x20\x56\x00\x54\x00\x02\x00\x20\x00\x46\x20", 12);
    EXPECT_EQ(file.substr(8784, 12), marker);
    EXPECT_EQ(U32At(file, 8796), 12u);
    EXPECT_EQ(file.substr(kDataStreamOffset, 12), marker);
    EXPECT_EQ(U32At(file, kDataStreamOffset + 12), 12u);
    // The first data-tree record after the count is Group Number (moved to the top): its
    // record holds state, data and label chunks; "Prefix :" records are 69 bytes.
    const std::size_t first = kDataStreamOffset + 16;
    EXPECT_EQ(U32At(file, first), 1u);
    const std::size_t prefix = first + 8 + 8 + 17;  // first child record
    EXPECT_EQ(U32At(file, prefix + 4), 61u);
    EXPECT_EQ(U32At(file, prefix + 8 + 25), 4u) << "data chunk type";
    EXPECT_EQ(U32At(file, prefix + 8 + 25 + 8), 30u) << "index of Group Number's prefix";
}

TEST(ConfigFileTest, MovingARootChangesOnlyTheDataStream) {
    Fixture plain;
    Fixture moved;
    std::rotate(moved.dataTree.Roots.begin(), moved.dataTree.Roots.begin() + 3,
                moved.dataTree.Roots.begin() + 4);
    const std::string a = Bytes(plain);
    const std::string b = Bytes(moved);
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(a.substr(0, kDataStreamOffset), b.substr(0, kDataStreamOffset));
    const std::size_t first = kDataStreamOffset + 16;
    const std::size_t dataChunk = first + 8 + U32At(b, first + 8 + 4) + 8;
    EXPECT_EQ(U32At(b, dataChunk), 4u);
    EXPECT_EQ(U32At(b, dataChunk + 8), 9u);
}

// A configuration counts as changed when a save would write other bytes: a moved data item
// does, though no field of the record differs; the focus and expansion of a tree do not.
TEST(ConfigFileTest, ChangeDetectionComparesTheBytesASaveWouldWrite) {
    Fixture f = Varied();
    ConfigState state;
    state.Config = f.config;
    EXPECT_TRUE(IsConfigChanged(state, f.entityTree, f.dataTree)) << "never loaded nor saved";
    MarkConfigSaved(state, f.entityTree, f.dataTree);
    EXPECT_FALSE(IsConfigChanged(state, f.entityTree, f.dataTree));

    f.dataTree.Roots[2].SetState(NodeState::Expanded, true);
    f.dataTree.Roots[3].SetState(NodeState::Selected, true);
    EntityNodeAt(f.entityTree, 19)->SetState(NodeState::Expanded, false);
    EXPECT_FALSE(IsConfigChanged(state, f.entityTree, f.dataTree)) << "only the view changed";

    std::swap(f.dataTree.Roots[1], f.dataTree.Roots[2]);
    EXPECT_TRUE(IsConfigChanged(state, f.entityTree, f.dataTree)) << "a data item moved";
    std::swap(f.dataTree.Roots[1], f.dataTree.Roots[2]);
    EXPECT_FALSE(IsConfigChanged(state, f.entityTree, f.dataTree)) << "and moved back";

    state.Config.DataOptions[12] = "100";
    EXPECT_TRUE(IsConfigChanged(state, f.entityTree, f.dataTree));
    MarkConfigSaved(state, f.entityTree, f.dataTree);
    EXPECT_FALSE(IsConfigChanged(state, f.entityTree, f.dataTree));
    MarkConfigUnsaved(state);
    EXPECT_TRUE(IsConfigChanged(state, f.entityTree, f.dataTree));
}

TEST(ConfigFileTest, ForeignFilesAreRefusedAndChangeNothing) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const std::string good = Bytes(Varied());
    // A wrong length byte before a right name, a short file, an older signature, no file.
    // clang-format off
    const Case cases[] = {
        {"first_byte_5", "\x05" + good.substr(1)},
        {"shorter_than_7", good.substr(0, 6)},
        {"older_version", "\x06QRW200" + good.substr(7)},
        {"empty", ""},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        const Fixture before = f;
        const ReadResult r = ReadConfigData(c.bytes, f.config, f.entityTree, f.dataTree);
        EXPECT_EQ(r.Outcome, ConfigReadOutcome::NotRead);
        EXPECT_EQ(r.Message, "This is not a Quarrow configuration file");
        EXPECT_EQ(f.config, before.config);
        EXPECT_EQ(f.entityTree, before.entityTree);
        EXPECT_EQ(f.dataTree, before.dataTree);
    }
}

TEST(ConfigFileTest, UnreadableFileNamesTheFile) {
    TempDir dir;
    Fixture f;
    std::vector<std::string> paths = {dir / "missing.qrw", dir.Path().string()};
#ifndef _WIN32
    // A named pipe would make the read wait for a writer forever; a device never ends.
    const std::string pipe = dir / "pipe.qrw";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    paths.push_back(pipe);
    paths.push_back("/dev/zero");
#endif
    for (const std::string& path : paths) {
        const ReadResult r = ReadConfigFile(path, f.config, f.entityTree, f.dataTree);
        EXPECT_EQ(r.Outcome, ConfigReadOutcome::NotRead);
        EXPECT_NE(r.Message.find("\"" + path + "\""), std::string::npos) << r.Message;
    }
}

TEST(ConfigFileTest, FileOfExactlyTheFieldsTakesFieldsAndEmptiesOnlyTheEntityTree) {
    const std::string file = Bytes(Varied()).substr(0, 8784);
    Fixture f;
    const ReadResult r = ReadConfigData(file, f.config, f.entityTree, f.dataTree);
    EXPECT_EQ(r.Outcome, ConfigReadOutcome::TreesDamaged);
    EXPECT_EQ(r.Message, "Unable to load tree structure, not enough data available.");
    ExportConfig expected = Varied().config;
    expected.ConfigSignature = "QRW300";
    // The entity flags stay (their tree is gone); the data flags follow the data tree the load
    // holds, a new one with nothing checked.
    expected.DataFlags.fill(0);
    EXPECT_EQ(f.config, expected);
    EXPECT_TRUE(f.entityTree.Roots.empty());
    EXPECT_EQ(f.dataTree, BuildDataTree());
}

TEST(ConfigFileTest, ShortFileKeepsPreviousBytesPastItsEnd) {
    Fixture source = Varied();
    SetBlockNameFilter(source.config, "DOOR*");
    const std::string file = Bytes(source);

    Fixture f;
    SetBlockNameFilter(f.config, "ABCDEFG");
    f.config.SeparatorChoice = 0x01020304;
    // Ends after the filter's length byte and first character.
    ReadResult r = ReadConfigData(file.substr(0, 20), f.config, f.entityTree, f.dataTree);
    EXPECT_EQ(r.Outcome, ConfigReadOutcome::TreesDamaged);
    EXPECT_EQ(f.config.DataFileExt, " txt");
    EXPECT_EQ(f.config.BlockNameFilter, "DBCDE") << "length and first byte new, rest old";
    EXPECT_EQ(f.config.SeparatorChoice, 0x01020304);

    // Ends inside the separator choice: its two low bytes are the file's.
    r = ReadConfigData(file.substr(0, 276), f.config, f.entityTree, f.dataTree);
    EXPECT_EQ(f.config.SeparatorChoice, 0x01020005);
    EXPECT_EQ(f.config.BlockNameFilter, "DOOR*");
}

TEST(ConfigFileTest, TreeStreamVariantsLoadOrFailWithTheirMessages) {
    const std::string good = Bytes(Varied());
    const std::string fields = good.substr(0, 8784);
    const std::string entityStream = good.substr(8784, kDataStreamOffset - 8784);
    const std::string dataStream = good.substr(kDataStreamOffset);
    const std::string oneRoot = U32(1) + NodeRecord();

    // The last data-tree root record, with an unknown chunk of type 7 added inside it.
    std::string withExtra = dataStream;
    std::size_t at = 16;
    for (int i = 0; i < 11; ++i)
        at += 8 + U32At(withExtra, at + 4);
    withExtra.insert(at + 8 + U32At(withExtra, at + 4), Chunk(7, "xyz"));
    PutU32At(withExtra, at + 4, U32At(withExtra, at + 4) + 8 + 3);

    std::string deep = NodeRecord();
    for (int i = 0; i < 40; ++i)
        deep = NodeRecord(deep, 1);

    std::string negative = oneRoot;
    PutU32At(negative, 4 + 8 + 4, 0xFFFFFFF0u);  // state chunk size

    struct Case {
        const char* name;
        std::string entityStream;
        ConfigReadOutcome outcome;
        std::string message;
    };
    // Tolerated variations, then each way a damaged or hostile stream must end in a message.
    // clang-format off
    const Case cases[] = {
        {"standard", entityStream + dataStream, ConfigReadOutcome::ReadInFull, ""},
        {"other_unit_4", Marker(2, 0x99) + entityStream.substr(12) + dataStream,
         ConfigReadOutcome::ReadInFull, ""},
        {"version_3", Marker(3) + entityStream.substr(12), ConfigReadOutcome::TreesDamaged,
         "Unable to load tree structure, the version is unknown."},
        {"bad_marker", Marker(2) .substr(0, 10) + "XX" + entityStream.substr(12),
         ConfigReadOutcome::TreesDamaged, "Unable to load tree structure, the format is wrong."},
        {"no_anchor", Marker() + U32(1) + Chunk(2, std::string(17, '\0')),
         ConfigReadOutcome::TreesDamaged, "Stream data corrupt. A node's anchor chunk is missing."},
        {"chunk_past_end", Marker() + U32(1) + U32(1) + U32(100) + "abcd",
         ConfigReadOutcome::TreesDamaged,
         "Stream data corrupt. A chunk's size is negative or runs past the data."},
        {"negative_chunk", Marker() + negative, ConfigReadOutcome::TreesDamaged,
         "Stream data corrupt. A chunk's size is negative or runs past the data."},
        {"too_deep", Marker() + U32(1) + deep, ConfigReadOutcome::TreesDamaged,
         "Stream data corrupt. Nodes are nested too deeply."},
        {"huge_child_count", Marker() + U32(1) + NodeRecord({}, 0xFFFFFFFFu),
         ConfigReadOutcome::TreesDamaged, "Stream data corrupt. The data ends inside a node."},
        {"huge_root_count", Marker() + U32(0xFFFFFFFFu) + NodeRecord(),
         ConfigReadOutcome::TreesDamaged,
         "Unable to load tree structure, not enough data available."},
        {"count_missing", Marker(), ConfigReadOutcome::TreesDamaged,
         "Stream data corrupt. The data ends inside a node."},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture f;
        const ReadResult r =
            ReadConfigData(fields + c.entityStream, f.config, f.entityTree, f.dataTree);
        EXPECT_EQ(r.Outcome, c.outcome);
        EXPECT_EQ(r.Message, c.message);
    }

    Fixture f;
    const ReadResult r =
        ReadConfigData(fields + entityStream + withExtra, f.config, f.entityTree, f.dataTree);
    EXPECT_EQ(r.Outcome, ConfigReadOutcome::ReadInFull) << r.Message;
    EXPECT_EQ(f.dataTree, Varied().dataTree);
}

TEST(ConfigFileTest, OldStreamVersionsWidenTheStateByte) {
    // Version 1: no root count, a 12-byte state body whose state byte lacks bit 7, so the
    // widened state gains bit 7 (visible).
    const std::string body = U32(0) + U32(0x00050012) + "\x21\x32\x02\x02";
    const std::string stream = Marker(1) + Chunk(1, Chunk(2, body) + Chunk(4, U32(9)));
    Fixture f;
    std::size_t position = 0;
    EXPECT_EQ(ReadTreeStream(f.dataTree, stream, position), "");
    ASSERT_EQ(f.dataTree.Roots.size(), 1u);
    EXPECT_EQ(f.dataTree.Roots[0].States, 0xA1);
    EXPECT_EQ(f.dataTree.Roots[0].Height, 18) << "only the low 16 bits of the height";
    EXPECT_EQ(f.dataTree.Roots[0].Index, 9);
    EXPECT_EQ(position, stream.size());
}

TEST(ConfigFileTest, OverlongLengthByteTakesTheSlotSize) {
    std::string file = Bytes(Varied());
    file[7] = '\xFF';
    Fixture f;
    ReadConfigData(file, f.config, f.entityTree, f.dataTree);
    EXPECT_EQ(f.config.DataFileExt.size(), 10u);
}

TEST(ConfigFileTest, TruncationAtEveryOffsetEndsInAMessage) {
    // Every length short of the whole file: before the signature is complete the file is
    // refused; after it the fields are taken and the trees report what is missing.
    const std::string file = Bytes(Varied());
    for (std::size_t size = 0; size < file.size(); ++size) {
        Fixture f;
        const ReadResult r =
            ReadConfigData(file.substr(0, size), f.config, f.entityTree, f.dataTree);
        ASSERT_EQ(r.Outcome,
                  size < 7 ? ConfigReadOutcome::NotRead : ConfigReadOutcome::TreesDamaged)
            << size;
        ASSERT_FALSE(r.Message.empty()) << size;
    }
}

TEST(ConfigFileTest, RandomlyDamagedFilesEndInOneOfTheThreeOutcomes) {
    // A few thousand copies with 1 to 8 bytes changed at random (seeded, so a failure
    // repeats), half of them in the tree streams where the structure is: every read ends in
    // one of the three outcomes with a message unless read in full, and whatever was read
    // can be saved and read again in full.
    const std::string good = Bytes(Varied());
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> byteValue(0, 255);
    std::uniform_int_distribution<int> flipCount(1, 8);
    std::uniform_int_distribution<std::size_t> anywhere(0, good.size() - 1);
    std::uniform_int_distribution<std::size_t> inTrees(kEntityStreamOffset, good.size() - 1);
    for (int variant = 0; variant < 4000; ++variant) {
        std::string file = good;
        const int flips = flipCount(random);
        for (int i = 0; i < flips; ++i) {
            const std::size_t at = variant % 2 == 0 ? anywhere(random) : inTrees(random);
            file[at] = static_cast<char>(byteValue(random));
        }
        Fixture f;
        const ReadResult r = ReadConfigData(file, f.config, f.entityTree, f.dataTree);
        const bool signatureKept = file.compare(0, 7, good, 0, 7) == 0;
        switch (r.Outcome) {
        case ConfigReadOutcome::NotRead:
            ASSERT_FALSE(signatureKept) << variant;
            ASSERT_EQ(r.Message, kMsgNotAConfigFile) << variant;
            break;
        case ConfigReadOutcome::TreesDamaged:
            ASSERT_TRUE(signatureKept) << variant;
            ASSERT_FALSE(r.Message.empty()) << variant;
            break;
        case ConfigReadOutcome::ReadInFull: ASSERT_TRUE(r.Message.empty()) << variant; break;
        }
        if (r.Outcome == ConfigReadOutcome::NotRead)
            continue;
        // Whatever was read saves to a file that reads in full and saves to the same bytes.
        const std::string saved = Bytes(f);
        Fixture again;
        const ReadResult r2 = ReadConfigData(saved, again.config, again.entityTree, again.dataTree);
        ASSERT_EQ(r2.Outcome, ConfigReadOutcome::ReadInFull) << variant << r2.Message;
        ASSERT_EQ(Bytes(again), saved) << variant;
    }
}

// What a save writes, read and saved again, is the same bytes: a damaged or foreign file that
// was read at all settles on its first save. Each file is an input that once broke that rule.
TEST(ConfigFileTest, FirstSaveOfAnyReadFileIsAFixedPoint) {
    struct Case {
        const char* file;
        const char* rule;
    };
    // clang-format off
    const Case cases[] = {
        {"extra-item-twice.qrw",
         "an extra item met twice is written once and not counted in the place of the items after it"},
    };
    // clang-format on
    std::vector<std::filesystem::path> files;
    for (const Case& c : cases)
        files.push_back(std::filesystem::path(QUARROW_TEST_DATA) / "config" / c.file);
    // The fuzz seeds hold this rule too.
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(QUARROW_SOURCE_DIR) / "fuzz" / "corpus" / "config"))
        files.push_back(entry.path());
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        const std::string input = ReadFileBytes(path.string());
        ASSERT_FALSE(input.empty());
        Fixture first;
        if (ReadConfigData(input, first.config, first.entityTree, first.dataTree).Outcome ==
            ConfigReadOutcome::NotRead)
            continue;
        const std::string saved = Bytes(first);
        Fixture second;
        const ReadResult r =
            ReadConfigData(saved, second.config, second.entityTree, second.dataTree);
        ASSERT_EQ(r.Outcome, ConfigReadOutcome::ReadInFull) << r.Message;
        EXPECT_EQ(Bytes(second), saved);
    }
}

TEST(ConfigFileTest, FailedSaveLeavesTheOldFileAndNoTemporaryFile) {
    TempDir dir;
    Fixture f = Varied();
    // The target is a folder: the rename fails and the folder must survive untouched.
    const std::string blocked = dir / "blocked.qrw";
    std::filesystem::create_directory(blocked);
    WriteFileBytes(std::filesystem::path(blocked) / "inside", "keep");
    WriteResult w = WriteConfigFile(blocked, f.config, f.entityTree, f.dataTree);
    EXPECT_FALSE(w.Ok);
    EXPECT_NE(w.Message.find("\"" + blocked + "\""), std::string::npos) << w.Message;
    EXPECT_EQ(ReadFileBytes(std::filesystem::path(blocked) / "inside"), "keep");

    w = WriteConfigFile(dir / "no/such/folder/x.qrw", f.config, f.entityTree, f.dataTree);
    EXPECT_FALSE(w.Ok);

    // A save over an existing file replaces it whole.
    const std::string path = dir / "x.qrw";
    WriteFileBytes(path, "old");
    EXPECT_TRUE(WriteConfigFile(path, f.config, f.entityTree, f.dataTree).Ok);
    EXPECT_EQ(ReadFileBytes(path).size(), kConfigFileSize);
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.Path()))
        ++entries;
    EXPECT_EQ(entries, 2u) << "no temporary file left behind";
}

// A file whose flags say otherwise than its trees (another program's save, a hand edit) is
// read with the flags of the trees' check marks, and says so; the flag of an option node,
// which has no check mark, is no contradiction. A repaired file saves and reads back quietly.
TEST(ConfigFileTest, FlagsThatContradictTheTreesAreRebuiltFromTheirCheckMarks) {
    struct Case {
        const char* name;
        bool entity;  // an entity flag, else a data flag
        std::size_t index;
        std::uint8_t stored;
        bool rebuilt;
    };
    // The default has Points and Lines checked, Circles and Arcs' Start Point not; Line Number
    // checked, Entity Type not; Line Number's Prefix is an option node.
    // clang-format off
    const Case cases[] = {
        {"kind_flag_set", true, std::size_t(EntityNode::Circles), 1, true},
        {"kind_flag_cleared", true, std::size_t(EntityNode::Lines), 0, true},
        {"sub_option_flag_set", true, std::size_t(EntityNode::ArcStartPoint), 1, true},
        {"data_item_flag_set", false, std::size_t(DataNode::EntityType), 1, true},
        {"data_item_flag_cleared", false, std::size_t(DataNode::LineNumber), 0, true},
        {"option_node_flag", false, std::size_t(DataNode::LineNumberPrefix), 1, false},
        {"consistent", true, std::size_t(EntityNode::Points), 1, false},
    };
    // clang-format on
    Fixture shipped;
    BuildDefaultConfig(shipped.config, shipped.entityTree, shipped.dataTree);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fixture stored = shipped;
        std::uint8_t* const flags =
            c.entity ? stored.config.EntityFlags.data() : stored.config.DataFlags.data();
        flags[c.index] = c.stored;
        const std::string bytes = Bytes(stored);
        Fixture read;
        const ReadResult result =
            ReadConfigData(bytes, read.config, read.entityTree, read.dataTree);
        EXPECT_EQ(result.Outcome, ConfigReadOutcome::ReadInFull);
        EXPECT_EQ(result.FlagsRebuilt, c.rebuilt);
        EXPECT_EQ(read.entityTree, shipped.entityTree);
        EXPECT_EQ(read.dataTree, shipped.dataTree);
        ExportConfig expected = c.rebuilt ? shipped.config : stored.config;
        expected.ConfigSignature = "QRW300";
        EXPECT_EQ(read.config, expected);
        const std::string saved = Bytes(read);
        EXPECT_EQ(saved == bytes, !c.rebuilt) << "a consistent file keeps its bytes";
        Fixture again;
        const ReadResult reread =
            ReadConfigData(saved, again.config, again.entityTree, again.dataTree);
        EXPECT_FALSE(reread.FlagsRebuilt);
        EXPECT_EQ(Bytes(again), saved);
    }
}

TEST(ConfigFileTest, ShippedDefaultMatchesTheWriter) {
    Fixture f;
    BuildDefaultConfig(f.config, f.entityTree, f.dataTree);
    const std::string expected = Bytes(f);
    const std::string path = std::string(QUARROW_SOURCE_DIR) + "/data/default.qrw";
    if (std::getenv("QUARROW_UPDATE_FIXTURES") != nullptr)
        WriteFileBytes(path, expected);
    EXPECT_EQ(ReadFileBytes(path), expected)
        << "regenerate with QUARROW_UPDATE_FIXTURES=1 and review the change";
    DataOrderArray order;
    order.fill(-1);
    order[0] = 0, order[1] = 3, order[2] = 6, order[3] = 9, order[5] = 15;  // Type is unchecked
    EXPECT_EQ(BuildDataOrder(f.dataTree), order);
}

}  // namespace
}  // namespace quarrow
