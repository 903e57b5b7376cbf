// Block attributes as fields, quoted fields read back by a CSV reader, and the plain UTF-8 text
// mode, on drawings made by tests/data/cad/make-drawings.py. Every scan also runs at small
// block sizes and, through ScanText, in segments on two threads: the bytes must not change.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/BytesAssert.h"
#include "support/EngineHarness.h"
#include "support/TempDir.h"

namespace quarrow {
namespace {

using test::TestConfig;
using enum DataNode;

// Scans at the default block size, and expects blocks that cut lines and pairs everywhere to
// give the very same result.
test::ScanRun Scan(const TestConfig& c, std::string_view dxf) {
    const test::ScanRun run = test::ScanText(c, dxf);
    EXPECT_EQ(run.Result.Outcome, ScanOutcome::Done) << run.Result.Error;
    for (const std::size_t blockSize : {1, 3, 64, 4093}) {
        SCOPED_TRACE("block size " + std::to_string(blockSize));
        test::ExpectSameScan(test::ScanText(c, dxf, blockSize), run);
    }
    return run;
}

// Every kind; the data items given, X, Y, Z with 3 decimals, lines counted from 1.
TestConfig ConfigOf(std::initializer_list<DataNode> data, std::string_view separator = ",") {
    TestConfig c = test::AllKindsConfig();
    c.Data(data).Separator(separator);
    return c;
}

using Rows = std::vector<std::vector<std::string>>;

// Reads Data text back as an RFC 4180 reader does, with a separator of any length: a field that
// starts with a double quote runs to the lone quote that closes it ("" is a quote inside it),
// and a record ends with CR LF outside quotes. Text after a closing quote, an unclosed quote,
// a line break in an unquoted field and, unless quotesInside (as common readers take them), a
// quote in an unquoted field are failures.
Rows ReadCsv(std::string_view text, std::string_view separator, bool quotesInside = false) {
    Rows rows;
    std::vector<std::string> row;
    const auto at = [&](std::size_t i, std::string_view s) {
        return text.substr(i, s.size()) == s;
    };
    std::size_t i = 0;
    while (i < text.size()) {
        std::string field;
        if (text[i] == '"') {
            for (++i;; ++i) {
                if (i == text.size()) {
                    ADD_FAILURE() << "unclosed quote";
                    return rows;
                }
                if (text[i] == '"' && !at(i + 1, "\"")) {
                    ++i;
                    break;
                }
                if (text[i] == '"')
                    ++i;  // the first of two
                field += text[i];
            }
        } else {
            while (i < text.size() && !at(i, separator) && !at(i, "\r\n")) {
                if (text[i] == '"' && !quotesInside)
                    ADD_FAILURE() << "quote in an unquoted field at byte " << i;
                if (text[i] == '\r' || text[i] == '\n')
                    ADD_FAILURE() << "line break in an unquoted field at byte " << i;
                field += text[i++];
            }
        }
        row.push_back(std::move(field));
        if (at(i, "\r\n")) {
            rows.push_back(std::move(row));
            row.clear();
            i += 2;
        } else if (at(i, separator)) {
            i += separator.size();
        } else {
            ADD_FAILURE() << "text after a closing quote at byte " << i;
            return rows;
        }
    }
    EXPECT_TRUE(row.empty()) << "the last record has no CR LF";
    return rows;
}

TEST(TextAndAttributesTest, AttributesGiveOneFieldPerTag) {
    // Three references of block SURVEY: {PT 101, ELEV 50.25, DESC TREE}; {DESC "FENCE, POST",
    // PT 102, ELEV 51.10} in that drawing order; none. Then a POINT.
    struct Case {
        const char* name;
        const char* tags;
        const char* prefix;
        bool quote;
        std::string data;
    };
    // clang-format off
    const Case cases[] = {
        {"tags listed: each field finds its tag whatever the attributes' order", "PT,ELEV,DESC",
         "", true,
         test::Records({"Entity Type,PT,ELEV,DESC,X (East) coordinate",
                  "INSERT,101,50.25,TREE,10.000",
                  "INSERT,102,51.10,\"FENCE, POST\",30.000",
                  "INSERT,,,,50.000",
                  "POINT,,,,70.000"})},
        // The header names the fields as the tags are written, without the blanks.
        {"tags in any case, blanks around them, one no block has", "pt, Elev ,desc,MISSING", "",
         true,
         test::Records({"Entity Type,pt,Elev,desc,MISSING,X (East) coordinate",
                  "INSERT,101,50.25,TREE,,10.000",
                  "INSERT,102,51.10,\"FENCE, POST\",,30.000",
                  "INSERT,,,,,50.000",
                  "POINT,,,,,70.000"})},
        {"a tag listed twice gives two fields", "DESC,desc", "", true,
         test::Records({"Entity Type,DESC,desc,X (East) coordinate",
                  "INSERT,TREE,TREE,10.000",
                  "INSERT,\"FENCE, POST\",\"FENCE, POST\",30.000",
                  "INSERT,,,50.000",
                  "POINT,,,70.000"})},
        {"empty list: every attribute in drawing order", "", "", true,
         test::Records({"Entity Type,Attributes,X (East) coordinate",
                  "INSERT,PT=101; ELEV=50.25; DESC=TREE,10.000",
                  "INSERT,\"DESC=FENCE, POST; PT=102; ELEV=51.10\",30.000",
                  "INSERT,,50.000",
                  "POINT,,70.000"})},
        {"a list of blanks and commas is an empty list", " , ,", "", true,
         test::Records({"Entity Type,Attributes,X (East) coordinate",
                  "INSERT,PT=101; ELEV=50.25; DESC=TREE,10.000",
                  "INSERT,\"DESC=FENCE, POST; PT=102; ELEV=51.10\",30.000",
                  "INSERT,,50.000",
                  "POINT,,70.000"})},
        // The prefix starts every field of the item, as the other items' prefixes do.
        {"prefix", "PT,DESC", "A:", true,
         test::Records({"Entity Type,PT,DESC,X (East) coordinate",
                  "INSERT,A:101,A:TREE,10.000",
                  "INSERT,A:102,\"A:FENCE, POST\",30.000",
                  "INSERT,A:,A:,50.000",
                  "POINT,A:,A:,70.000"})},
        {"quoting off: the value holding the comma is quoted", "PT,DESC", "", false,
         test::Records({"Entity Type,PT,DESC,X (East) coordinate",
                  "INSERT,101,TREE,10.000",
                  "INSERT,102,\"FENCE, POST\",30.000",
                  "INSERT,,,50.000",
                  "POINT,,,70.000"})},
    };
    // clang-format on
    const std::string dxf = test::CadDrawing("survey-blocks.dxf");
    ASSERT_FALSE(dxf.empty());
    for (const TextMode mode : {TextMode::AsWritten, TextMode::PlainUtf8}) {
        SCOPED_TRACE(mode == TextMode::PlainUtf8 ? "plain UTF-8" : "as written");
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            TestConfig config = ConfigOf({EntityType, Attributes, X});
            config.Header(true).Quote(c.quote).Text(mode);
            config.Option(AttributesTags, c.tags).Option(AttributesPrefix, c.prefix);
            EXPECT_TRUE(test::SameBytes(c.data, Scan(config, dxf).Data));
        }
    }
}

TEST(TextAndAttributesTest, AttributesAreReadOnlyAfterGroup66) {
    // Without 66 = 1 the ATTRIB after an INSERT is not its own: another program's stray entity.
    // With 66 = 1 the attributes run to the SEQEND, and the entity after it is read as usual.
    const std::string dxf = test::Entities({
        // clang-format off
        "0", "INSERT", "2", "B", "10", "1", "20", "0", "30", "0",
        "0", "ATTRIB", "1", "stray", "2", "T",
        "0", "SEQEND",
        "0", "INSERT", "66", "1", "2", "B", "10", "2", "20", "0", "30", "0",
        "0", "ATTRIB", "1", "v1", "2", "T",
        "0", "ATTRIB", "1", "v2", "2", "U",
        "0", "SEQEND",
        "0", "POINT", "10", "3", "20", "0", "30", "0",
        "0", "INSERT", "66", "1", "2", "B", "10", "4", "20", "0", "30", "0",
        "0", "ATTRIB", "1", "v3", "2", "T",
        // clang-format on
        // No SEQEND: the next entity ends the attributes.
        "0",
        "POINT",
        "10",
        "5",
        "20",
        "0",
        "30",
        "0",
    });
    TestConfig config = ConfigOf({EntityType, X, Attributes});
    config.Quote(true);
    EXPECT_TRUE(
        test::SameBytes(test::Records({"INSERT,1.000,", "INSERT,2.000,T=v1; U=v2", "POINT,3.000,",
                                       "INSERT,4.000,T=v3", "POINT,5.000,"}),
                        Scan(config, dxf).Data));
}

TEST(TextAndAttributesTest, FieldsReadBackAsWrittenWhateverTheQuoting) {
    // TEXT on layer `Fence, "north"` reading `He said "stop"`; TEXT on layer 0 reading "a;b";
    // POINT on the first layer. Quoting off quotes only the fields that would break their
    // record (a reader takes the quotes inside the others as they are).
    struct Case {
        const char* name;
        const char* separator;
        const char* linePrefix;
        const char* textPrefix;
        const char* label;
        const char* tags;
        std::vector<std::string> tagFields;  // the header's names of the Attributes fields
    };
    // clang-format off
    const Case cases[] = {
        {"comma", ",", "", "", "L", "", {"Attributes"}},
        {"semicolon", ";", "", "", "L", "", {"Attributes"}},
        {"space: the header's labels are quoted", " ", "", "", "L", "", {"Attributes"}},
        {"several characters", ", ", "", "", "L", "", {"Attributes"}},
        // Counters are quoted even before their digits are known (the two-thread scan fills
        // them in later), and coordinates and layer 0 hold the separator.
        {"a digit", "0", "", "", "L", "", {"Attributes"}},
        {"a minus", "-", "", "", "L", "", {"Attributes"}},
        {"CR LF in a prefix, a quote in a counter's prefix", ",", "#\"", "T\r\n", "L", "",
         {"Attributes"}},
        {"the separator in the label", ",", "", "", "a,b", "", {"Attributes"}},
        // "a-" before "--" would read as "a" and a field starting with "-".
        {"a field ending in the separator's start", "--", "", "", "a-", "", {"Attributes"}},
        {"tags holding the separator and a quote", ";", "", "", "L", "DESC;1, N\"2",
         {"DESC;1", "N\"2"}},
    };
    // clang-format on
    const std::string dxf = test::CadDrawing("quoting.dxf");
    ASSERT_FALSE(dxf.empty());
    for (const bool quote : {true, false})
        for (const TextMode mode : {TextMode::AsWritten, TextMode::PlainUtf8}) {
            SCOPED_TRACE(mode == TextMode::PlainUtf8 ? "plain UTF-8" : "as written");
            SCOPED_TRACE(quote ? "quoting on" : "quoting off");
            for (const Case& c : cases) {
                SCOPED_TRACE(c.name);
                TestConfig config = ConfigOf(
                    {LineNumber, EntityType, EntityLayer, TextString, Label, Attributes, X},
                    c.separator);
                config.Header(true).Quote(quote).Text(mode);
                config.Option(LineNumberPrefix, c.linePrefix)
                    .Option(TextStringPrefix, c.textPrefix);
                config.Option(LabelText, c.label).Option(AttributesTags, c.tags);

                Rows expected = {
                    {"Line Number", "Entity Type", "Entity Layer", "Text String", "Label"}};
                const auto add = [&](const char* line, const char* type, const char* layer,
                                     const char* text, const char* x) {
                    expected.push_back({std::string(c.linePrefix) + line, type, layer,
                                        std::string(c.textPrefix) + text, c.label});
                    expected.back().resize(expected.back().size() + c.tagFields.size());
                    expected.back().push_back(x);
                };
                for (const std::string& tag : c.tagFields)
                    expected[0].push_back(tag);
                expected[0].push_back("X (East) coordinate");
                add("1", "TEXT", "Fence, \"north\"", "He said \"stop\"", "1.000");
                add("2", "TEXT", "0", "a;b", "3.000");
                add("3", "POINT", "Fence, \"north\"", "", "5.000");

                EXPECT_EQ(ReadCsv(Scan(config, dxf).Data, c.separator, !quote), expected);
            }
        }
}

TEST(TextAndAttributesTest, QuotingOffQuotesOnlyTheFieldsThatWouldBreakTheirRecord) {
    // The separator in the header's labels, a layer and a text (not in the rest), a leading
    // quote; the quotes inside the other fields stay as they are, and the records with a
    // quoted field are counted.
    struct Case {
        const char* name;
        const char* separator;
        std::vector<std::string_view> data;
        int counted;
    };
    // clang-format off
    const Case cases[] = {
        {"space", " ", {"\"Line Number\" \"Entity Type\" \"Entity Layer\" \"Text String\" Label",
                        "1 TEXT \"Fence, \"\"north\"\"\" \"He said \"\"stop\"\"\" L",
                        "2 TEXT 0 a;b L", "3 POINT \"Fence, \"\"north\"\"\"  L"}, 2},
        {"comma", ",", {"Line Number,Entity Type,Entity Layer,Text String,Label",
                        "1,TEXT,\"Fence, \"\"north\"\"\",He said \"stop\",L",
                        "2,TEXT,0,a;b,L", "3,POINT,\"Fence, \"\"north\"\"\",,L"}, 2},
        {"semicolon", ";", {"Line Number;Entity Type;Entity Layer;Text String;Label",
                            "1;TEXT;Fence, \"north\";He said \"stop\";L",
                            "2;TEXT;0;\"a;b\";L", "3;POINT;Fence, \"north\";;L"}, 1},
        {"tab", "\t", {"Line Number\tEntity Type\tEntity Layer\tText String\tLabel",
                       "1\tTEXT\tFence, \"north\"\tHe said \"stop\"\tL",
                       "2\tTEXT\t0\ta;b\tL", "3\tPOINT\tFence, \"north\"\t\tL"}, 0},
    };
    // clang-format on
    const auto warning = [](int n) {
        return "  *** Warning, " + std::to_string(n) +
               " records hold the field separator, a line break or a leading quote inside a "
               "value: those values are quoted ***";
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestConfig config = ConfigOf({LineNumber, EntityType, EntityLayer, TextString, Label});
        config.Header(true).Separator(c.separator).Option(LabelText, "L");
        const test::ScanRun run = Scan(config, test::CadDrawing("quoting.dxf"));
        std::string expected;
        for (const std::string_view record : c.data)
            expected += std::string(record) + "\r\n";
        EXPECT_TRUE(test::SameBytes(expected, run.Data));
        EXPECT_EQ(std::count(run.Report.begin(), run.Report.end(), warning(c.counted)),
                  c.counted > 0 ? 1 : 0);
    }
}

TEST(TextAndAttributesTest, EveryRecordOfEveryDrawingReadsBackAtTheHeadersFieldCount) {
    // Every drawing made by other programs and every sample, every data item, the usual
    // separators, quoting on and off, both text modes: a CSV reader finds the header's number
    // of fields in every record.
    std::vector<std::filesystem::path> drawings;
    for (const char* folder : {QUARROW_TEST_DATA "/cad", QUARROW_SOURCE_DIR "/data/samples"})
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            if (entry.path().extension() == ".dxf" &&
                entry.path().filename() != "ctrl-z-inside.dxf")
                drawings.push_back(entry.path());
    ASSERT_GE(drawings.size(), 25u);
    for (const char* separator : {",", ";", " ", "\t", "|"}) {
        for (const bool quote : {true, false}) {
            for (const TextMode mode : {TextMode::AsWritten, TextMode::PlainUtf8}) {
                TestConfig config =
                    ConfigOf({LineNumber, X, Y, Z, EntityType, EntityLayer, EntityHandle, BlockName,
                              TextString, Label, SequentialNumber, GroupNumber, Attributes},
                             separator);
                config.Header(true).Quote(quote).Text(mode).Option(LabelText, "Lot 1, B");
                for (const auto& drawing : drawings) {
                    SCOPED_TRACE(drawing.filename().string() + " [" + separator + "] " +
                                 (quote ? "quoted" : "not quoted"));
                    const test::ScanRun run =
                        test::ScanTextOnce(config, test::ReadFileBytes(drawing),
                                           DxfLineReader::kDefaultBlockSize, {}, 0);
                    ASSERT_EQ(run.Result.Outcome, ScanOutcome::Done) << run.Result.Error;
                    const Rows rows = ReadCsv(run.Data, separator, !quote);
                    ASSERT_FALSE(rows.empty());
                    for (const auto& row : rows)
                        ASSERT_EQ(row.size(), rows[0].size());
                }
            }
        }
    }
}

TEST(TextAndAttributesTest, QuotingOffQuotesALeadingQuoteAndALineBreak) {
    // A text that begins with a quote would be read as a quoted field, a prefix with a line
    // break would end the record; a quote further on is read as it is. Quoted, every record
    // reads back whole.
    const std::string dxf = test::Entities({"0", "TEXT", "10", "1", "20", "2", "1", "\"Oak\" tree",
                                            "0", "TEXT", "10", "5", "20", "6", "1", "5\" pipe"});
    TestConfig config = ConfigOf({EntityType, TextString, X});
    EXPECT_TRUE(
        test::SameBytes(test::Records({"TEXT,\"\"\"Oak\"\" tree\",1.000", "TEXT,5\" pipe,5.000"}),
                        Scan(config, dxf).Data));
    config.Option(XPrefix, "x\r\n");
    const std::string data = Scan(config, dxf).Data;
    EXPECT_TRUE(test::SameBytes(
        test::Records({"TEXT,\"\"\"Oak\"\" tree\",\"x\r\n1.000\"", "TEXT,5\" pipe,\"x\r\n5.000\""}),
        data));
    EXPECT_EQ(ReadCsv(data, ",", true),
              (Rows{{"TEXT", "\"Oak\" tree", "x\r\n1.000"}, {"TEXT", "5\" pipe", "x\r\n5.000"}}));
}

TEST(TextAndAttributesTest, CodePagesBecomeUtf8AndAsWrittenKeepsTheBytes) {
    struct Case {
        const char* name;
        const char* file;
        std::string plain;      // plain UTF-8
        std::string asWritten;  // the drawing's bytes
    };
    // Records: type | layer | block name | text | attributes.
    // clang-format off
    const Case cases[] = {
        {"R12, ANSI_1252, with %% codes", "code-page-1252.dxf",
         test::Records({"TEXT|0||Höhe ° ±|",
                  "TEXT|0||⌀50 ±0.5 45° 100% A|",
                  "POINT|0|||"}),
         test::Records({"TEXT|0||H\xF6he \xB0 \xB1|",
                  "TEXT|0||%%c50 %%p0.5 45%%d 100%%% %%uA%%u|",
                  "POINT|0|||"})},
        // Layer, block name and attribute value in Cyrillic.
        {"R12, ANSI_1251", "code-page-1251.dxf",
         test::Records({"TEXT|Границы||Высота 120 м|",
                  "INSERT|Границы|ЗНАК||NAME=Пункт 7",
                  "POINT|0|||"}),
         test::Records({"TEXT|\xC3\xF0\xE0\xED\xE8\xF6\xFB||\xC2\xFB\xF1\xEE\xF2\xE0 120 \xEC|",
                  "INSERT|\xC3\xF0\xE0\xED\xE8\xF6\xFB|\xC7\xCD\xC0\xCA||NAME=\xCF\xF3\xED\xEA\xF2 7",
                  "POINT|0|||"})},
        // What Windows-1252 lacks is written as \U+ escapes (eight digits past U+FFFF), in
        // the layer name too; the rest as Windows-1252 bytes.
        {"R2000, \\U+ escapes", "unicode-escapes.dxf",
         test::Records({"TEXT|Слой||Дата 温度 é 𝛼|",
                  "MTEXT|Слой||Ελλάδα κείμενο|",
                  "POINT|0|||"}),
         test::Records({"TEXT|\\U+0421\\U+043b\\U+043e\\U+0439||"
                  "\\U+0414\\U+0430\\U+0442\\U+0430 \\U+6e29\\U+5ea6 \xE9 \\U+0001d6fc|",
                  "MTEXT|\\U+0421\\U+043b\\U+043e\\U+0439||\\U+0395\\U+03bb\\U+03bb\\U+03ac"
                  "\\U+03b4\\U+03b1\\P\\U+03ba\\U+03b5\\U+03af\\U+03bc\\U+03b5\\U+03bd\\U+03bf|",
                  "POINT|0|||"})},
        {"R2018, UTF-8", "utf8-r2018.dxf",
         test::Records({"TEXT|Höhenlinien||Straße 東京 😀|",
                  "MTEXT|Höhenlinien||Ηλίου πόλη ±|",
                  "POINT|0|||"}),
         test::Records({"TEXT|Höhenlinien||Straße 東京 😀|",
                  "MTEXT|Höhenlinien||Ηλίου\\Pπόλη ±|",
                  "POINT|0|||"})},
        {"block attributes", "survey-blocks.dxf",
         test::Records({"INSERT|0|SURVEY||PT=101; ELEV=50.25; DESC=TREE",
                  "INSERT|0|SURVEY||DESC=FENCE, POST; PT=102; ELEV=51.10",
                  "INSERT|0|SURVEY||",
                  "POINT|0|||"}),
         test::Records({"INSERT|0|SURVEY||PT=101; ELEV=50.25; DESC=TREE",
                  "INSERT|0|SURVEY||DESC=FENCE, POST; PT=102; ELEV=51.10",
                  "INSERT|0|SURVEY||",
                  "POINT|0|||"})},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string dxf = test::CadDrawing(c.file);
        ASSERT_FALSE(dxf.empty());
        TestConfig config =
            ConfigOf({EntityType, EntityLayer, BlockName, TextString, Attributes}, "|");
        EXPECT_TRUE(test::SameBytes(c.asWritten, Scan(config, dxf).Data));
        config.Text(TextMode::PlainUtf8);
        EXPECT_TRUE(test::SameBytes(c.plain, Scan(config, dxf).Data));
    }
}

TEST(TextAndAttributesTest, ConfigurationTextsAreWindows1252) {
    // Separator "§", Text String prefix "°", label "été" as the configuration stores them.
    TestConfig config = ConfigOf({EntityType, TextString, Label}, "\xA7");
    config.Header(true).Option(TextStringPrefix, "\xB0").Option(LabelText, "\xE9t\xE9");
    const std::string dxf = test::CadDrawing("code-page-1252.dxf");
    EXPECT_TRUE(
        test::SameBytes(test::Records({"Entity Type\xA7Text String\xA7Label",
                                       "TEXT\xA7\xB0H\xF6he \xB0 \xB1\xA7\xE9t\xE9",
                                       "TEXT\xA7\xB0%%c50 %%p0.5 45%%d 100%%% %%uA%%u\xA7\xE9t\xE9",
                                       "POINT\xA7\xB0\xA7\xE9t\xE9"}),
                        Scan(config, dxf).Data));
    config.Text(TextMode::PlainUtf8);
    EXPECT_TRUE(
        test::SameBytes(test::Records({"Entity Type§Text String§Label", "TEXT§°Höhe ° ±§été",
                                       "TEXT§°⌀50 ±0.5 45° 100% A§été", "POINT§°§été"}),
                        Scan(config, dxf).Data));
}

TEST(TextAndAttributesTest, MTextCodesLeaveThePlainText) {
    // The MTEXTs of mtext-codes.dxf, the i-th at Y = i, as make-drawings.py lists them.
    struct Case {
        const char* name;
        std::string plain;
    };
    // clang-format off
    const Case cases[] = {
        {"font group", "Bold text"},
        {"paragraph", "Line one Line two"},
        {"stacked fraction", "Pipe 1/2 inch"},
        {"non-breaking space", "A B"},
        {"backslash", "C:\\temp"},
        {"braces", "{braces}"},
        {"height, colour, underline", "Red and underlined"},
        {"paragraph properties", "Centred"},
        {"stacked tolerance", "+0.1/-0.2"},
        {"paragraph cut between two chunks", std::string(249, 'x') + " end"},
    };
    // clang-format on
    std::string expected;
    for (std::size_t i = 0; i < std::size(cases); ++i)
        expected += "MTEXT|" + std::to_string(i) + ".000|" + cases[i].plain + "\r\n";
    expected += "POINT|6.000|\r\n";
    TestConfig config = ConfigOf({EntityType, Y, TextString}, "|");
    config.Text(TextMode::PlainUtf8);
    const std::string data = Scan(config, test::CadDrawing("mtext-codes.dxf")).Data;
    // Record by record, so a failure names its case.
    std::size_t from = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::size_t end = expected.find("\r\n", from) + 2;
        EXPECT_EQ(data.substr(from, end - from), expected.substr(from, end - from));
        from = end;
    }
    EXPECT_TRUE(test::SameBytes(expected, data));
}

TEST(TextAndAttributesTest, MTextOfOtherWritersLeavesThePlainText) {
    // Values ezdxf does not write: codes cut between group 3 chunks (a reader that converts
    // chunk by chunk breaks them), and codes of other programs. No HEADER: Windows-1252.
    struct Case {
        const char* name;
        std::vector<std::string> chunks;  // groups 3, then the group 1
        std::string plain;
    };
    // clang-format off
    const Case cases[] = {
        {"paragraph cut", {"Line\\", "Pend"}, "Line end"},
        {"escape cut", {"Stra\\U+00", "DFe"}, "Straße"},
        {"font group cut", {"{\\fAri", "al|b1;Bold}", " text"}, "Bold text"},
        {"percent code cut", {"45%", "%d"}, "45°"},
        {"superscript", {"m\\S2^;"}, "m2"},
        {"fraction with #", {"\\S3#4;"}, "3/4"},
        {"nested groups", {"{\\C1;{\\H0.7x;red} }green"}, "red green"},
        {"width and oblique without ;", {"\\W0.8xnarrow \\Q15slant"}, "narrow slant"},
        {"alignment", {"\\A1;mid"}, "mid"},
        {"unknown code is kept", {"\\\\server\\share"}, "\\server\\share"},
        {"Windows-1252 bytes", {"Gr\xFC\xDF" "e"}, "Grüße"},
        {"caret tab", {"a^Ib"}, "a b"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string dxf = test::Dxf({"0", "SECTION", "2", "ENTITIES", "0", "MTEXT", "8", "0", "10",
                                     "1", "20", "2", "30", "0"});
        for (std::size_t i = 0; i < c.chunks.size(); ++i)
            dxf += (i + 1 < c.chunks.size() ? "3\r\n" : "1\r\n") + c.chunks[i] + "\r\n";
        dxf += test::Dxf({"0", "ENDSEC", "0", "EOF"});
        TestConfig config = ConfigOf({EntityType, TextString}, "|");
        config.Text(TextMode::PlainUtf8);
        EXPECT_TRUE(test::SameBytes("MTEXT|" + c.plain + "\r\n", Scan(config, dxf).Data));
    }
}

}  // namespace
}  // namespace quarrow
