#include "detail/EntityReaders.h"
#include "detail/PairReader.h"

#include <gtest/gtest.h>

#include "support/BytesAssert.h"
#include "support/EngineHarness.h"

namespace quarrow {
namespace {

using test::Entities;
// The tables below name tree nodes: the points of an arc, the data written.
using enum EntityNode;
using enum DataNode;

struct ReaderCase {
    const char* name;
    std::vector<EntityNode> entityNodes;  // checked entity-tree nodes
    std::vector<DataNode> dataOrder;      // data items written
    std::string dxf;
    std::string data;  // expected Data file, records joined by "|"
    int entityCount;   // "Processed entities count"
};

std::string Records(std::string joined) {
    if (joined.empty())
        return joined;
    std::string out;
    std::size_t from = 0;
    for (std::size_t bar; (bar = joined.find('|', from)) != std::string::npos; from = bar + 1)
        out += joined.substr(from, bar - from) + "\r\n";
    return out + joined.substr(from) + "\r\n";
}

void RunCases(const std::vector<ReaderCase>& cases) {
    for (const ReaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestConfig config = test::AllKindsConfig();
        config.Config.EntityFlags.fill(0);
        std::array<std::uint8_t, kEntityNodeCount> flags{};
        for (const EntityNode node : c.entityNodes)
            flags[std::size_t(node)] = 1;
        config.Config.EntityFlags = flags;
        for (int kind = 0; kind < kKindCount; ++kind)
            config.SelectedKinds[std::size_t(kind)] =
                flags[std::size_t(kEntityKinds[std::size_t(kind)].RootNode)];
        config.DataOrder.fill(-1);
        for (std::size_t i = 0; i < c.dataOrder.size(); ++i)
            config.DataOrder[i] = int(c.dataOrder[i]);
        const test::ScanRun run = test::ScanText(config, c.dxf);
        ASSERT_EQ(run.Result.Outcome, ScanOutcome::Done) << run.Result.Error;
        EXPECT_TRUE(test::SameBytes(Records(c.data), run.Data));
        EXPECT_EQ(run.Report.at(0),
                  "  Processed entities count : " + std::to_string(c.entityCount));
    }
}

const std::vector<DataNode> kXyz = {X, Y, Z};
const std::vector<DataNode> kXyzGroup = {GroupNumber, X, Y, Z};

TEST(EntityReadersTest, GroupCodesAreWholeNumbers) {
    // An optional minus and digits within 32 bits, leading zeros allowed; -1: no group code.
    const struct {
        const char* text;
        std::int64_t code;
        // clang-format off
    } cases[] = {{"10", 10},       {"0", 0},        {"1071", 1071},  {"010", 10},
                 // clang-format on
                 {"00", 0},
                 {"-1", -1},
                 {"-0", 0},
                 {"2147483647", 2147483647},
                 {"-2147483648", -2147483648LL},
                 {"2147483648", -1},
                 {"99999999999999999999", -1},
                 {"+10", -1},
                 {"", -1},
                 {"-", -1},
                 {"1 0", -1},
                 {"1.0", -1},
                 {"ENTITIES", -1}};
    for (const auto& c : cases) {
        std::int32_t code = -1;
        const bool ok = ParseGroupCode(c.text, code);
        EXPECT_EQ(ok ? std::int64_t(code) : -1, c.code) << c.text;
    }
    // Code lines as read: the three-byte shortcut agrees with trimming first.
    for (const char* line : {"  0", " 10", "330", "100", " 05", "010", "\t10", "1 0", " 1 ", "  a",
                             "999", "  10", "1071", "0", "5 ", " -1", "-12"}) {
        std::int32_t fast = -7, slow = -7;
        EXPECT_EQ(ParseGroupCodeLine(line, fast), ParseGroupCode(TrimText(line), slow)) << line;
        EXPECT_EQ(fast, slow) << line;
    }
}

TEST(EntityReadersTest, PointReaderConventions) {
    // Placeholders, padded codes, a layer named "0", a missing Z, a value kept as written, and
    // the entity that follows never missed.
    // clang-format off
    RunCases({
        {"placeholders", {Points}, {EntityHandle, EntityLayer, X},
         Entities({"0", "POINT", "10", "1", "20", "2"}),
         "!NoHandle!,!NoLayer!,1.000", 1},
        {"padded_codes_layer_zero", {Points}, {EntityLayer, X, Y, Z},
         Entities({"  0", "POINT", "  8", "0", " 10", "  1.5  ", " 20", "\t2", "  0", "POINT",
                   "8", "B", "10", "3", "20", "4", "30", "12.50"}),
         "0,1.500,2.000,0.000|B,3.000,4.000,12.500", 2},
        {"unknown_and_odd_codes", {Points}, kXyz,
         Entities({"0", "POINT", "010", "9", "10", "1", "20", "2", "39", "5", "210", "0", "220",
                   "0", "230", "-1"}),
         "1.000,2.000,0.000", 1},
    });
    // clang-format on
}

TEST(EntityReadersTest, CircleEllipseTextAndMText) {
    // clang-format off
    RunCases({
        {"circle_mirrored", {Circles}, kXyz,
         Entities({"0", "CIRCLE", "10", "5", "20", "2", "30", "3", "40", "9", "210", "0", "220",
                   "0", "230", "-1"}),
         "-5.000,2.000,-3.000", 1},
        {"circle_extrusion_x", {Circles}, kXyz,
         Entities({"0", "CIRCLE", "10", "1", "20", "2", "30", "3", "210", "1", "220", "0", "230",
                   "0"}),
         "3.000,1.000,2.000", 1},
        {"ellipse_ignores_extrusion", {Ellipses}, kXyz,
         Entities({"0", "ELLIPSE", "10", "5", "20", "2", "30", "3", "11", "7", "230", "-1"}),
         "5.000,2.000,3.000", 1},
        {"text_last_group_1_mirrored", {SingleLineText}, {TextString, X, Y, Z},
         Entities({"0", "TEXT", "1", "first", "10", "4", "20", "5", "30", "6", "1", " A1 ",
                   "11", "99", "230", "-1"}),
         "A1,-4.000,5.000,-6.000", 1},
        {"text_without_point", {SingleLineText}, {TextString, X},
         Entities({"0", "TEXT", "20", "1"}), ",0.000", 1},
        {"mtext_chunks_in_file_order", {MultiLineText}, {TextString, EntityType, X},
         Entities({"0", "MTEXT", "10", "1", "3", "Line one\\Pand ", "3", "more", "1",
                   " {\\fArial;end}", "230", "-1"}),
         "Line one\\Pand more {\\fArial;end},MTEXT,1.000", 1},
    });
    // clang-format on
}

TEST(EntityReadersTest, LineArcAnd3DFace) {
    const std::string arc =
        Entities({"0", "ARC", "10", "10", "20", "20", "30", "5", "40", "2", "50", "0", "51", "90"});
    const std::string arcMirrored =
        Entities({"0",  "ARC", "10", "10", "20",  "20", "30",  "5", "40",  "2",
                  "50", "0",   "51", "90", "210", "0",  "220", "0", "230", "-1"});
    const std::string face =
        Entities({"0", "3DFACE", "10", "0",  "20", "0",  "30", "0",  "11", "1",  "21", "0",  "31",
                  "0", "12",     "1",  "22", "1",  "32", "2",  "13", "1",  "23", "1",  "33", "2"});
    // clang-format off
    RunCases({
        {"line_both_points", {Lines, LineStartPoint, LineEndPoint}, kXyzGroup,
         Entities({"0", "LINE", "10", "1", "11", "3", "20", "2", "21", "4", "31", "5"}),
         "1,1.000,2.000,0.000|1,3.000,4.000,5.000", 1},
        {"line_no_point_still_counts", {Points, Lines}, kXyzGroup,
         Entities({"0", "LINE", "10", "1", "20", "2", "11", "3", "21", "4", "0", "POINT", "10",
                   "7", "20", "8"}),
         "2,7.000,8.000,0.000", 2},
        {"arc_all_points", {Arcs, ArcStartPoint, ArcEndPoint, ArcCenter}, kXyz, arc,
         "12.000,20.000,5.000|10.000,22.000,5.000|10.000,20.000,5.000", 1},
        {"arc_mirrored", {Arcs, ArcStartPoint, ArcEndPoint, ArcCenter}, kXyz, arcMirrored,
         "-12.000,20.000,-5.000|-10.000,22.000,-5.000|-10.000,20.000,-5.000", 1},
        {"arc_crossing_zero", {Arcs, ArcStartPoint, ArcEndPoint}, kXyz,
         Entities({"0", "ARC", "40", "1", "50", "270", "51", "-90"}),
         "0.000,-1.000,0.000|0.000,-1.000,0.000", 1},
        {"face_three_sided", {Faces3D, FaceThirdPoint, FaceFourthPoint}, kXyz, face,
         "1.000,1.000,2.000|1.000,1.000,2.000", 1},
        {"face_first_corner", {Faces3D, FaceFirstPoint}, kXyz,
         Entities({"0", "3DFACE", "10", "1", "20", "2"}),
         "1.000,2.000,0.000", 1},
    });
    // clang-format on
}

TEST(EntityReadersTest, ArcCenterExactWithFullDecimals) {
    // The end point at 90 degrees is off by the cosine's rounding (1.2e-16), which the 14
    // significant digits of the converted text remove.
    test::TestConfig config = test::AllKindsConfig();
    config.Entities({Arcs, ArcEndPoint}).Data({X, Y}).Option(kXDecimalsOption, "12");
    const test::ScanRun run = test::ScanText(
        config, Entities({"0", "ARC", "10", "10", "20", "20", "40", "2", "50", "0", "51", "90"}));
    EXPECT_EQ(run.Data, "10.000000000000,22.000\r\n");
}

TEST(EntityReadersTest, LwPolylines) {
    // clang-format off
    RunCases({
        {"elevation", {Polylines2D}, kXyzGroup,
         Entities({"0", "LWPOLYLINE", "90", "2", "38", "3", "10", "0", "20", "0", "42", "1",
                   "10", "10", "20", "0"}),
         "1,0.000,0.000,3.000|1,10.000,0.000,3.000", 1},
        {"late_extrusion", {Polylines2D}, kXyz,
         Entities({"0", "LWPOLYLINE", "38", "3", "10", "0", "20", "0", "10", "10", "20", "0",
                   "210", "0", "220", "0", "230", "-1"}),
         "0.000,0.000,-3.000|-10.000,0.000,-3.000", 1},
        {"elevation_as_it_stands", {Polylines2D}, kXyz,
         Entities({"0", "LWPOLYLINE", "10", "1", "20", "1", "38", "7", "10", "2", "20", "2"}),
         "1.000,1.000,0.000|2.000,2.000,7.000", 1},
        {"two_polylines_consecutive_groups", {Polylines2D}, {GroupNumber, X},
         Entities({"0", "LWPOLYLINE", "10", "1", "20", "1", "0", "LWPOLYLINE", "10", "2", "20",
                   "2"}),
         "1,1.000|2,2.000", 2},
    });
    // clang-format on
}

// A POLYLINE with a header of flags and elevation, vertices of (flags, x, y, z), then SEQEND.
std::string Polyline(std::string_view flags, std::vector<std::array<std::string_view, 4>> vertices,
                     std::vector<std::string_view> headerExtra = {}) {
    std::string text = test::Dxf({"0", "POLYLINE", "5", "P1", "8", "L", "66", "1", "10", "0", "20",
                                  "0", "30", "2", "70"}) +
                       test::Dxf({flags});
    for (auto line : headerExtra)
        text += test::Dxf({line});
    for (const auto& v : vertices) {
        text += test::Dxf({"0", "VERTEX", "5", "V", "8", "VL"});
        if (!v[0].empty())
            text += test::Dxf({"70", v[0]});
        if (!v[1].empty())
            text += test::Dxf({"10", v[1]});
        if (!v[2].empty())
            text += test::Dxf({"20", v[2]});
        if (!v[3].empty())
            text += test::Dxf({"30", v[3]});
    }
    return text + test::Dxf({"0", "SEQEND", "8", "L"});
}

std::string InEntities(const std::string& body) {
    return test::Dxf({"0", "SECTION", "2", "ENTITIES"}) + body +
           test::Dxf({"0", "POINT", "10", "9", "20", "9", "0", "ENDSEC", "0", "EOF"});
}

TEST(EntityReadersTest, Polylines) {
    const std::string poly3d = InEntities(
        Polyline("8", {{"32", "1", "1", "1"}, {"40", "2", "2", "2"}, {"48", "3", "3", "3"}}));
    const std::string polyface = InEntities(
        Polyline("64", {{"192", "1", "1", "1"}, {"192", "2", "2", "2"}, {"128", "0", "0", "0"}}));
    const std::string mesh =
        InEntities(Polyline("16", {{"64", "1", "1", "1"}, {"64", "2", "2", "2"}}));
    const std::string fitted2d = InEntities(
        Polyline("4", {{"16", "1", "1", "9"}, {"8", "2", "2", "9"}, {"0", "3", "3", "9"}}));
    const std::string mirrored2d =
        InEntities(Polyline("1", {{"", "1", "2", ""}, {"", "3", "4", "5"}}, {"230", "-1"}));
    // Every record carries the header's handle and layer, whatever the VERTEX entities say.
    const std::vector<DataNode> order = {GroupNumber, EntityHandle, EntityLayer, X, Y, Z};
    // clang-format off
    RunCases({
        {"3d_vertex_flags", {Points, Polylines3D}, order, poly3d,
         "1,P1,L,1.000,1.000,1.000|1,P1,L,3.000,3.000,3.000|2,!NoHandle!,!NoLayer!,9.000,9.000,"
         "0.000",
         2},
        {"3d_with_spline_points", {Polylines3D, Polyline3DSplinePoints}, kXyz, poly3d,
         "1.000,1.000,1.000|2.000,2.000,2.000|3.000,3.000,3.000", 1},
        {"3d_only_2d_selected", {Polylines2D, Polyline2DCurvePoints}, kXyz, poly3d, "", 0},
        {"polyface_positions_only", {Polylines3D}, kXyz, polyface,
         "1.000,1.000,1.000|2.000,2.000,2.000",
         1},
        {"mesh_falls_into_2d", {Polylines2D}, kXyz, mesh, "", 1},
        {"mesh_falls_into_2d_with_curve_points", {Polylines2D, Polyline2DCurvePoints}, kXyz, mesh,
         "1.000,1.000,2.000|2.000,2.000,2.000", 1},
        {"2d_fit_points_at_elevation", {Polylines2D}, kXyz, fitted2d,
         "1.000,1.000,2.000|3.000,3.000,2.000", 1},
        {"2d_all_points", {Polylines2D, Polyline2DCurvePoints}, kXyz, fitted2d,
         "1.000,1.000,2.000|2.000,2.000,2.000|3.000,3.000,2.000", 1},
        {"2d_only_3d_selected", {Polylines3D}, kXyz, fitted2d, "", 0},
        {"2d_mirrored", {Polylines2D}, kXyz, mirrored2d, "-1.000,2.000,-2.000|-3.000,4.000,-2.000",
         1},
        {"pending_xy_and_flags_carry_over_z_starts_at_0", {Polylines3D, Polyline3DSplinePoints},
         kXyz,
         InEntities(Polyline("8", {{"32", "1", "2", "3"}, {"", "4", "", ""}})),
         "1.000,2.000,3.000|4.000,2.000,0.000", 1},
        {"header_then_seqend", {Points, Polylines2D, Polylines3D}, kXyzGroup,
         InEntities(test::Dxf({"0", "POLYLINE", "70", "8", "0", "SEQEND", "0", "POINT", "10",
                               "1", "20", "1"})),
         "1,1.000,1.000,0.000|2,9.000,9.000,0.000", 2},
        {"two_2d_consecutive_groups", {Polylines2D}, {GroupNumber, X},
         InEntities(Polyline("0", {{"", "1", "1", ""}}) + Polyline("0", {{"", "2", "2", ""}})),
         "1,1.000|2,2.000", 2},
    });
    // clang-format on
}

TEST(EntityReadersTest, Splines) {
    std::vector<std::string_view> lines = {"0", "SPLINE", "5", "S1", "8", "CURVES", "70", "8"};
    static const std::vector<std::string> numbers = {"1", "2", "3", "4", "5", "6", "7"};
    for (int i = 0; i < 7; ++i)
        for (std::string_view code : {"10", "20", "30"}) {
            lines.push_back(code);
            lines.push_back(numbers[std::size_t(i)]);
        }
    for (int i = 0; i < 4; ++i)
        for (std::string_view code : {"11", "21", "31"}) {
            lines.push_back(code);
            lines.push_back(numbers[std::size_t(i)]);
        }
    std::string body;
    for (auto line : lines)
        body += std::string(line) + "\r\n";
    const std::string spline = InEntities(body);
    const auto repeat = [](int count, const char* prefix) {
        std::string joined;
        for (int i = 1; i <= count; ++i)
            joined.append(i > 1 ? "|" : "").append(prefix).append(std::to_string(i)).append(".000");
        return joined;
    };
    // clang-format off
    RunCases({
        {"control_points", {Splines, SplineControlPoints}, {EntityLayer, X}, spline,
         repeat(7, "CURVES,"), 1},
        {"fit_points", {Splines, SplineFitPoints}, {X}, spline, repeat(4, ""), 1},
        {"both", {Splines, SplineControlPoints, SplineFitPoints}, {X}, spline,
         repeat(7, "") + "|" + repeat(4, ""), 1},
        {"neither_still_counts", {Splines}, {X}, spline, "", 1},
        {"point_without_z_written_at_z_0", {Splines, SplineControlPoints}, kXyz,
         Entities({"0", "SPLINE", "10", "1", "20", "2", "10", "3", "30", "4", "20", "5", "30",
                   "6"}),
         "1.000,2.000,0.000|3.000,2.000,4.000|3.000,5.000,6.000", 1},
        {"last_point_without_z_and_fit_points", {Splines, SplineControlPoints, SplineFitPoints},
         kXyz,
         Entities({"0", "SPLINE", "10", "1", "20", "2", "11", "3", "21", "4", "11", "5", "21",
                   "6"}),
         "1.000,2.000,0.000|3.000,4.000,0.000|5.000,6.000,0.000", 1},
        {"unselected_points_without_z", {Splines, SplineFitPoints}, kXyz,
         Entities({"0", "SPLINE", "10", "1", "20", "2", "11", "3", "21", "4", "10", "5", "20",
                   "6"}),
         "3.000,4.000,0.000", 1},
    });
    // clang-format on
}

TEST(EntityReadersTest, InsertsFilterAndTally) {
    const auto insert = [](std::string_view name) {
        return test::Dxf(
            {"0", "INSERT", "8", "L", "2", name, "10", "1", "20", "2", "70", "3", "71", "2"});
    };
    const std::string named =
        InEntities(insert("door12") + insert("WIN1") + insert("WIN12") + insert("TABLE"));
    struct FilterCase {
        const char* name;
        const char* filter;
        std::string data;
        int count;
    };
    // A rejected reference leaves no trace: the group numbers stay consecutive.
    const FilterCase filters[] = {
        {"no_filter", "", "1,door12|2,WIN1|3,WIN12|4,TABLE", 5},
        {"door_win", "DOOR*, WIN?", "1,door12|2,WIN1", 3},
        {"trailing_comma_passes_all", "TREE,", "1,door12|2,WIN1|3,WIN12|4,TABLE", 5},
    };
    for (const FilterCase& f : filters) {
        SCOPED_TRACE(f.name);
        test::TestConfig config = test::AllKindsConfig();
        config.Entities({Points, Blocks}).Data({GroupNumber, BlockName}).Filter(f.filter);
        const test::ScanRun run = test::ScanText(config, named);
        EXPECT_EQ(run.Data, Records(f.data + "|" + std::to_string(f.count) + ","));
    }

    const std::string trees = InEntities(insert("Tree") + insert("TREE") + insert("Oak"));
    test::TestConfig config = test::AllKindsConfig();
    config.Entities({Blocks}).Data({BlockName});
    const test::ScanRun run = test::ScanText(config, trees);
    EXPECT_EQ(run.Report,
              (std::vector<std::string>{"  Processed entities count : 3", "", "    Blocks : 3 ()",
                                        "      Tree : 2", "      Oak : 1", kReportSeparator}));
    // clang-format off
    RunCases({
        {"mirrored_with_text", {Blocks}, {BlockName, TextString, X, Y, Z},
         Entities({"0", "INSERT", "1", "T", "10", "4", "20", "5", "30", "6", "210", "0", "220",
                   "0", "230", "-1"}),
         "!NoBlockName!,T,-4.000,5.000,-6.000", 1},
    });
    // clang-format on
}

TEST(EntityReadersTest, AnEntityCutByTheEndOfTheInputIsNotConverted) {
    // The entity the end cuts may hold cut values ("-" of "-12.5", a missing Y): the drawing
    // is refused as cut short, whatever its readers made of them. A value that does not
    // convert in an entity that its "0" completed still ends the run.
    struct Case {
        const char* name;
        std::vector<EntityNode> nodes;
        std::string dxf;
        ScanOutcome outcome;
    };
    const std::string head = test::Dxf({"0", "SECTION", "2", "ENTITIES"});
    const std::string point = test::Dxf({"0", "POINT", "10", "1", "20", "2"});
    // clang-format off
    const Case cases[] = {
        {"point_without_z", {Points}, head + test::Dxf({"0", "POINT", "10", "1", "20", "2", "30"}),
         ScanOutcome::NotDxf},
        {"point_without_y", {Points}, head + test::Dxf({"0", "POINT", "10", "1"}),
         ScanOutcome::NotDxf},
        {"value_cut_to_a_sign", {Points}, head + "0\nPOINT\n20\n2\n10\n-", ScanOutcome::NotDxf},
        {"lwpolyline_no_final_lf", {Polylines2D}, head + "0\nLWPOLYLINE\n10\n1\n20\n2\n10\n3",
         ScanOutcome::NotDxf},
        {"polyline_in_a_vertex", {Polylines3D, Polyline3DSplinePoints},
         head + test::Dxf({"0", "POLYLINE", "70", "8", "0", "VERTEX", "10", "1", "20", "2", "0",
                           "VERTEX", "10", "3"}),
         ScanOutcome::NotDxf},
        {"polyline_without_seqend_then_a_cut_entity", {Points, Polylines3D},
         head + test::Dxf({"0", "POLYLINE", "70", "8", "0", "VERTEX", "10", "1", "20", "2", "0",
                           "POINT", "10", "5"}),
         ScanOutcome::NotDxf},
        {"spline_in_header", {Splines, SplineControlPoints}, head + test::Dxf({"0", "SPLINE", "8"}),
         ScanOutcome::NotDxf},
        // An error read as the value came, with the rest of the entity cut later.
        {"bad_extrusion_then_cut", {Circles},
         head + test::Dxf({"0", "CIRCLE", "10", "1", "20", "2", "210", "x", "8", "L"}),
         ScanOutcome::NotDxf},
        {"bad_value_of_a_whole_entity_before", {Points},
         head + test::Dxf({"0", "POINT", "10", "1,5", "20", "2"}) + point, ScanOutcome::Failed},
        {"bad_value_of_the_last_whole_entity", {Circles},
         head + test::Dxf({"0", "CIRCLE", "10", "1", "20", "2", "210", "x", "0"}),
         ScanOutcome::Failed},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestConfig config = test::AllKindsConfig();
        config.Entities(std::initializer_list<EntityNode>());
        for (const EntityNode node : c.nodes)
            config.Config.EntityFlags[std::size_t(node)] = 1;
        config.SelectKinds();
        const test::ScanRun run = test::ScanText(config, c.dxf);
        EXPECT_EQ(run.Result.Outcome, c.outcome) << run.Result.Error;
        if (c.outcome == ScanOutcome::NotDxf) {
            EXPECT_EQ(run.Result.NotValid, NotValidReason::CutShort);
        }
    }
}

TEST(EntityReadersTest, ValuesThatMustConvertEndTheRun) {
    struct Case {
        const char* name;
        std::vector<EntityNode> nodes;
        std::string dxf;
        std::string error;
    };
    // The line named is the value's own; an absent value names the entity's type line.
    // clang-format off
    const Case cases[] = {
        {"arc_radius_missing_center_only", {Arcs, ArcCenter},
         Entities({"0", "ARC", "10", "1", "20", "1", "50", "0", "51", "1"}),
         "line 6: \"\" is not a valid floating point value (radius, missing from the entity "
         "that starts at this line)."},
        {"polyline_flags_not_integer", {Polylines2D}, Entities({"0", "POLYLINE", "70", "8.0"}),
         "line 8: \"8.0\" is not a valid integer value (polyline flags)."},
        {"lwpolyline_y_before_x", {Polylines2D}, Entities({"0", "LWPOLYLINE", "20", "1"}),
         "line 6: \"\" is not a valid floating point value (X coordinate, missing from the "
         "entity that starts at this line)."},
        {"circle_extrusion", {Circles}, Entities({"0", "CIRCLE", "230", "1e999"}),
         "line 8: \"1e999\" is not a valid floating point value (extrusion Z)."},
        {"transform_overflows", {Circles},
         Entities({"0", "CIRCLE", "10", "1.5e308", "20", "1.5e308", "30", "1.5e308", "210",
                   "0.6", "230", "0.8"}),
         "line 6: the Z coordinate computed for the CIRCLE that starts at this line is out of "
         "range."},
        {"line_end_missing", {Lines, LineEndPoint},
         Entities({"0", "LINE", "10", "1", "20", "1", "11", "2"}),
         "line 6: \"\" is not a valid floating point value (Y coordinate, missing from the "
         "entity that starts at this line)."},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestConfig config = test::AllKindsConfig();
        config.Config.EntityFlags.fill(0);
        for (const EntityNode node : c.nodes)
            config.Config.EntityFlags[std::size_t(node)] = 1;
        const test::ScanRun run = test::ScanText(config, c.dxf);
        EXPECT_EQ(run.Result.Outcome, ScanOutcome::Failed);
        EXPECT_EQ(run.Result.Error, "Error in DXF file \"test.dxf\", " + c.error);
    }
}

}  // namespace
}  // namespace quarrow

namespace quarrow {
namespace {

TEST(EntityReadersTest, PaperSpaceEntitiesAreReadThroughWithoutConverting) {
    // One entity of each kind in paper space, each holding a value that would not convert,
    // then a POINT in model space.
    const std::string paper = test::Dxf(
        {"0",  "POINT",   "67", "1",          "10",  "a",        "20", "b",      "0",  "CIRCLE",
         "67", "1",       "10", "a",          "210", "b",        "0",  "ARC",    "67", "1",
         "10", "1",       "20", "1",          "40",  "r",        "50", "s",      "51", "e",
         "0",  "ELLIPSE", "67", "1",          "10",  "a",        "0",  "LINE",   "67", "1",
         "10", "a",       "11", "b",          "0",   "MTEXT",    "8",  "T",      "67", "1",
         "10", "a",       "1",  "note",       "0",   "TEXT",     "67", "1",      "10", "a",
         "1",  "note",    "0",  "LWPOLYLINE", "67",  "1",        "38", "e",      "10", "a",
         "20", "b",       "0",  "POLYLINE",   "67",  "1",        "70", "f",      "0",  "VERTEX",
         "10", "a",       "70", "g",          "0",   "SEQEND",   "0",  "SPLINE", "67", "1",
         "10", "a",       "30", "b",          "0",   "3DFACE",   "67", "1",      "10", "a",
         "0",  "INSERT",  "67", "1",          "2",   "REJECTED", "10", "a"});
    const std::string model = test::Dxf({"0", "POINT", "10", "5", "20", "6"});
    const struct {
        const char* name;
        std::vector<EntityNode> nodes;
        std::string paperLine;  // empty: none
                                // clang-format off
    } cases[] = {
                                // clang-format on
        {"every_kind",
         {Points, Circles, Arcs, ArcStartPoint, ArcEndPoint, ArcCenter, Ellipses, Lines,
          LineStartPoint, LineEndPoint, MultiLineText, SingleLineText, Polylines2D, Polylines3D,
          Splines, SplineControlPoints, Faces3D, FaceFirstPoint, Blocks},
         "    Paper space entities left out : 12"},
        // Only the kinds whose readers run count; POLYLINE only with a polyline kind.
        {"points_only", {Points}, "    Paper space entities left out : 1"},
        {"points_and_3d_polylines", {Points, Polylines3D}, "    Paper space entities left out : 2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TestConfig config = test::AllKindsConfig();
        config.Entities({}).Data({X, Y}).Filter("D*");
        for (const EntityNode node : c.nodes)
            config.Config.EntityFlags[std::size_t(node)] = 1;
        config.SelectKinds();
        const test::ScanRun run = test::ScanText(config, InEntities(paper + model));
        ASSERT_EQ(run.Result.Outcome, ScanOutcome::Done) << run.Result.Error;
        EXPECT_EQ(run.Data, "5.000,6.000\r\n9.000,9.000\r\n");
        EXPECT_EQ(run.Report.at(0), "  Processed entities count : 2");
        EXPECT_EQ(run.Report.at(run.Report.size() - 2), c.paperLine);
    }
}

TEST(EntityReadersTest, OnlyAPaperSpaceFlagBeforeTheFirstGroup10Counts) {
    test::TestConfig config = test::AllKindsConfig();
    config.Entities({Points, Arcs, ArcStartPoint}).Data({X, Y});
    // After group 10, 67 = 1 is too late: the entity is exported.
    const test::ScanRun late = test::ScanText(
        config, InEntities(test::Dxf({"0", "POINT", "10", "5", "67", "1", "20", "6"})));
    EXPECT_EQ(late.Data, "5.000,6.000\r\n9.000,9.000\r\n");
    // A value that fails before the decision fails once the entity proves to be in model
    // space, and that earliest failure is the one named.
    const test::ScanRun failed = test::ScanText(
        config, InEntities(test::Dxf({"0", "ARC", "210", "x", "67", "0", "10", "1", "220", "y",
                                      "40", "1", "50", "0", "51", "9"})));
    EXPECT_EQ(failed.Result.Outcome, ScanOutcome::Failed);
    EXPECT_EQ(failed.Result.Error,
              "Error in DXF file \"test.dxf\", line 8: \"x\" is not a valid floating point "
              "value (extrusion X).");
}

TEST(EntityReadersTest, PolylinesEndAtTheNextEntityAndMTextStopsAtItsEmbeddedObject) {
    // clang-format off
    RunCases({
        // Without SEQEND the polyline ends where another entity starts, which is read.
        {"header_then_another_entity", {Points, Polylines2D, Polylines3D}, {GroupNumber, X, Y},
         InEntities(test::Dxf({"0", "POLYLINE", "70", "8", "0", "POINT", "10", "1", "20", "1"})),
         "1,1.000,1.000|2,9.000,9.000", 2},
        {"vertices_then_endsec", {Polylines2D}, {X, Y},
         test::Dxf({"0", "SECTION", "2", "ENTITIES", "0", "POLYLINE", "0", "VERTEX", "10", "1",
                    "20", "2", "0", "ENDSEC", "0", "POINT", "10", "9", "20", "9"}),
         "1.000,2.000", 1},
        {"polyline_after_polyline", {Polylines2D}, {GroupNumber, X},
         InEntities(test::Dxf({"0", "POLYLINE", "0", "VERTEX", "10", "1", "20", "1", "0",
                               "POLYLINE", "0", "VERTEX", "10", "2", "20", "2", "0", "SEQEND"})),
         "1,1.000|2,2.000", 2},
        // Text chunks joined as written and trimmed once; the columns' own pairs ignored.
        {"mtext_columns", {MultiLineText}, {X, Y, TextString},
         InEntities(test::Dxf({"0", "MTEXT", "10", "7", "20", "8", "3", "  two ", "1",
                               "words  ", "101", "Embedded Object", "10", "1", "20", "0", "1",
                               "x"})),
         "7.000,8.000,two words", 1},
    });
    // clang-format on
}

}  // namespace
}  // namespace quarrow
