#include "detail/DataRecordWriter.h"

#include <gtest/gtest.h>

#include <climits>

#include "support/EngineHarness.h"

namespace quarrow {
namespace {

using test::TestConfig;

const std::string kPoint = test::Entities({"0", "POINT", "5", "F1", "8", "SURVEY", "10", "1", "20",
                                           "2", "30", "3", "0", "POINT", "10", "4", "20", "5"});

TEST(DataRecordWriterTest, FieldsFollowTheDataOrderAndSkipWhatIsNoDataItem) {
    struct Case {
        const char* name;
        std::vector<int> order;
        std::string separator;
        std::string data;
    };
    // The order decides; -1 and indexes a damaged file may bring (option nodes, out of range)
    // are skipped; a separator of any length never ends a record.
    // clang-format off
    const Case cases[] = {
        {"z_first", {9, 3, 6}, ",", "3.000,1.000,2.000\r\n0.000,4.000,5.000\r\n"},
        {"damaged_indexes", {1, 3, 99, -7, 6, 31, 12, 2147483647}, ",",
         "1.000,2.000\r\n4.000,5.000\r\n"},
        {"long_separator", {3, 6}, " :: ", "1.000 :: 2.000\r\n4.000 :: 5.000\r\n"},
        {"texts", {13, 15, 17, 19, 21}, ";",
         "POINT;SURVEY;F1;;\r\nPOINT;!NoLayer!;!NoHandle!;;\r\n"},
        {"nothing", {}, ",", "\r\n\r\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestConfig config = test::AllKindsConfig();
        config.Entities({EntityNode::Points}).Separator(c.separator);
        config.DataOrder.fill(-1);
        for (std::size_t i = 0; i < c.order.size(); ++i)
            config.DataOrder[i] = c.order[i];
        const test::ScanRun run = test::ScanText(config, kPoint);
        ASSERT_EQ(run.Result.Outcome, ScanOutcome::Done) << run.Result.Error;
        EXPECT_EQ(run.Data, c.data);
    }
}

std::string HeaderFor(std::vector<int> order, const std::string& separator) {
    ExportConfig config;
    config.FieldSeparator = separator;
    DataOrderArray dataOrder;
    dataOrder.fill(-1);
    std::copy(order.begin(), order.end(), dataOrder.begin());
    const RunSettings settings(config, dataOrder, {});
    return settings.HeaderText;
}

TEST(DataRecordWriterTest, HeaderTextNamesTheItemsInOrder) {
    EXPECT_EQ(HeaderFor({0, 3, 6}, ";"), "Line Number;X (East) coordinate;Y (North) coordinate");
    EXPECT_EQ(HeaderFor({5, 40, 29, -1, 23}, "\r\n"), "Group Number\r\nLabel");
    EXPECT_EQ(HeaderFor({}, ","), "");
}

TEST(DataRecordWriterTest, CountersWrapInsteadOfOverflowing) {
    TestConfig config = test::AllKindsConfig();
    config.Entities({EntityNode::Points}).Data({DataNode::LineNumber, DataNode::GroupNumber});
    config.Option(kLineStartOption, "").Option(kGroupStartOption, "");
    const test::ScanRun run =
        test::ScanText(config, kPoint, DxfLineReader::kDefaultBlockSize, {INT_MAX, 0, INT_MAX});
    EXPECT_EQ(run.Data, "2147483647,2147483647\r\n-2147483648,-2147483648\r\n");
    EXPECT_EQ(run.Counters.LineCounter, INT_MIN + 1);
}

}  // namespace
}  // namespace quarrow
