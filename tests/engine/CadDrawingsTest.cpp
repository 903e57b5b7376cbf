// Drawings as CAD programs write them (made by tests/data/cad/make-drawings.py): whole
// HEADER, TABLES, BLOCKS and OBJECTS sections around the content that a reader of lines
// rather than pairs gets wrong.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "support/EngineHarness.h"
#include "support/TempDir.h"

namespace quarrow {
namespace {

using test::TestConfig;

// Every kind and sub-option but the points that fitting adds (nodes 13 and 15); type, layer,
// X, Y, Z and text.
TestConfig CadConfig() {
    TestConfig c = test::AllKindsConfig();
    c.Entities({EntityNode::Points,
                EntityNode::Circles,
                EntityNode::Arcs,
                EntityNode::ArcStartPoint,
                EntityNode::ArcEndPoint,
                EntityNode::ArcCenter,
                EntityNode::Ellipses,
                EntityNode::Lines,
                EntityNode::LineStartPoint,
                EntityNode::LineEndPoint,
                EntityNode::MultiLineText,
                EntityNode::SingleLineText,
                EntityNode::Polylines2D,
                EntityNode::Polylines3D,
                EntityNode::Splines,
                EntityNode::SplineControlPoints,
                EntityNode::SplineFitPoints,
                EntityNode::Faces3D,
                EntityNode::FaceFirstPoint,
                EntityNode::FaceSecondPoint,
                EntityNode::FaceThirdPoint,
                EntityNode::FaceFourthPoint,
                EntityNode::Blocks});
    c.Data({DataNode::EntityType, DataNode::EntityLayer, DataNode::X, DataNode::Y, DataNode::Z,
            DataNode::TextString});
    return c;
}

struct CadCase {
    const char* file;
    std::string data;
    std::vector<std::string> reportLines;  // besides the count lines
};

const std::vector<CadCase>& CadCases() {
    // clang-format off
    static const std::vector<CadCase> cases = {
        // A hatch pattern named LINE starts nothing; the POINT after it is kept.
        {"hatch-line-pattern.dxf", test::Records({"POINT,0,5.000,6.000,7.000,"}), {}},
        {"layers-named-like-types.dxf",
         test::Records({"CIRCLE,POINT,1.000,2.000,3.000,", "ARC,LINE,12.000,0.000,1.000,",
                  "ARC,LINE,10.000,2.000,1.000,", "ARC,LINE,10.000,0.000,1.000,",
                  "ELLIPSE,TEXT,20.000,0.000,0.000,", "POINT,0,30.000,4.000,0.000,"}),
         {}},
        // Attributes tagged POINT or valued LINE, and attributes on a layer named TEXT, are
        // values: the references are exported, the attributes are not.
        {"attribute-tagged-point.dxf",
         test::Records({"INSERT,0,100.000,100.000,0.000,", "INSERT,0,200.000,150.000,5.000,",
                  "POINT,0,1.000,2.000,3.000,"}),
         {"      SURVEY : 2"}},
        {"attribs-on-text-layer.dxf",
         test::Records({"INSERT,0,10.000,20.000,0.000,", "INSERT,0,30.000,40.000,0.000,",
                  "POINT,0,50.000,60.000,0.000,"}),
         {"      MARK : 2"}},
        // The group named TEXT lives in OBJECTS, after the section's end.
        {"group-named-text.dxf",
         test::Records({"LINE,0,0.000,0.000,0.000,", "LINE,0,4.000,0.000,0.000,",
                  "TEXT,0,3.000,4.000,0.000,LABEL", "POINT,0,7.000,8.000,0.000,"}),
         {}},
        // The columns' embedded object has its own 10/20/30 (a direction).
        {"mtext-columns.dxf",
         test::Records({"MTEXT,0,100.000,200.000,0.000,First column\\NSecond column",
                  "POINT,0,300.000,400.000,0.000,"}),
         {}},
        // The blank that ends the 250-character chunk stays between its two words.
        {"mtext-long.dxf",
         test::Records({"MTEXT,0,5.000,10.000,0.000,\"Survey note: the control points of this "
                  "sheet were set out from the station marks along the northern boundary; heights "
                  "refer to the local datum and were checked twice before the drawing was "
                  "issued, with differences below two millimetres at each word mark except "
                  "the last one, which was re-measured on the following day and then agreed "
                  "with the first reading.\"",
                  "POINT,0,15.000,20.000,0.000,"}),
         {}},
        // The title block (a LINE, a TEXT and a POINT) is in paper space.
        {"paper-space.dxf",
         test::Records({"POINT,0,1.000,1.000,0.000,", "POINT,0,2.000,2.000,0.000,",
                  "LINE,0,0.000,0.000,0.000,", "LINE,0,10.000,0.000,0.000,",
                  "POINT,0,3.000,3.000,0.000,"}),
         {"    Paper space entities left out : 3"}},
        // Optional Z groups left out are 0, never the Z of the point before.
        {"missing-optional-z.dxf",
         test::Records({"3DFACE,0,0.000,0.000,4.000,", "3DFACE,0,10.000,0.000,0.000,",
                  "3DFACE,0,10.000,10.000,0.000,", "3DFACE,0,0.000,10.000,0.000,",
                  "SPLINE,0,0.000,0.000,0.000,", "SPLINE,0,5.000,5.000,0.000,",
                  "SPLINE,0,10.000,0.000,0.000,", "SPLINE,0,15.000,5.000,0.000,",
                  "3DPOLYLINE,0,0.000,0.000,0.000,", "3DPOLYLINE,0,1.000,0.000,5.000,",
                  "3DPOLYLINE,0,2.000,0.000,0.000,", "3DPOLYLINE,0,3.000,0.000,2.000,",
                  "POINT,0,40.000,50.000,60.000,"}),
         {}},
        // The original vertices of a curve-fit polyline (flag 2) without the fitted ones.
        {"curve-fit-polyline.dxf",
         test::Records({"2DPOLYLINE,0,0.000,0.000,0.000,", "2DPOLYLINE,0,6.000,2.000,0.000,",
                  "2DPOLYLINE,0,10.000,0.000,0.000,", "POINT,0,20.000,30.000,0.000,"}),
         {"    2D Polylines : 1 "}},
        {"extrusion-not-unit.dxf",
         test::Records({"CIRCLE,0,-1.000,2.000,-3.000,", "CIRCLE,0,-4.000,-0.400,7.800,",
                  "POINT,0,7.000,8.000,9.000,"}),
         {}},
    };
    // clang-format on
    return cases;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(CadDrawingsTest, EachDrawingGivesItsRecordsAndNothingInvented) {
    for (const CadCase& c : CadCases()) {
        SCOPED_TRACE(c.file);
        const std::string dxf = test::CadDrawing(c.file);
        ASSERT_FALSE(dxf.empty());
        const test::ScanRun run = test::ScanText(CadConfig(), dxf);
        EXPECT_EQ(run.Result.Outcome, ScanOutcome::Done) << run.Result.Error;
        EXPECT_EQ(run.Data, c.data);
        for (const std::string& line : c.reportLines)
            EXPECT_TRUE(HasLine(run.Report, line)) << "missing report line \"" << line << "\"";
        EXPECT_EQ(run.Report.back(), kReportSeparator);
    }
}

TEST(CadDrawingsTest, ACtrlZInsideTheEntitiesCutsTheDrawingShort) {
    // The byte 26 ends the text before the section's end: the points after it are lost, so
    // the drawing is refused rather than converted in part.
    const test::ScanRun run = test::ScanText(CadConfig(), test::CadDrawing("ctrl-z-inside.dxf"));
    EXPECT_EQ(run.Result.Outcome, ScanOutcome::NotDxf);
    EXPECT_EQ(run.Report, (std::vector<std::string>{
                              "  *** Error, this is not a valid DXF file (it ends inside its "
                              "ENTITIES section: the file is cut short) ***",
                              kReportSeparator}));
}

TEST(CadDrawingsTest, AnUnselectedEntityOfTypeNameValuesChangesNoByte) {
    // A HATCH whose every value names an entity type (and the section words) goes in before
    // the first entity: values never start a reader or end the section.
    std::string hatch = test::Dxf({"  0", "HATCH"});
    const char* const names[] = {"POINT",  "CIRCLE",     "ARC",      "ELLIPSE", "LINE",    "MTEXT",
                                 "TEXT",   "LWPOLYLINE", "POLYLINE", "SPLINE",  "3DFACE",  "INSERT",
                                 "VERTEX", "SEQEND",     "ENDSEC",   "SECTION", "ENTITIES"};
    const char* const codes[] = {"  8", "  2",  "  1",  "  3", "  7", "  6", "  4", "300", "301",
                                 "999", "1000", "1001", " 70", " 10", " 20", " 30", "330"};
    for (std::size_t i = 0; i < std::size(names); ++i)
        hatch += test::Dxf({codes[i], names[i]});
    const std::size_t blockSizes[] = {1, 3, 64, 4093, DxfLineReader::kDefaultBlockSize};
    for (const char* file : {"layers-named-like-types.dxf", "missing-optional-z.dxf",
                             "attribute-tagged-point.dxf", "paper-space.dxf"}) {
        SCOPED_TRACE(file);
        std::string dxf = test::CadDrawing(file);
        // ezdxf writes LF line ends: the inserted lines keep theirs (CR LF), as a mix must.
        const std::string sectionStart = "  2\nENTITIES\n";
        const std::size_t at = dxf.find(sectionStart);
        ASSERT_NE(at, std::string::npos);
        const test::ScanRun plain = test::ScanText(CadConfig(), dxf);
        dxf.insert(at + sectionStart.size(), hatch);
        for (const std::size_t blockSize : blockSizes) {
            SCOPED_TRACE("block size " + std::to_string(blockSize));
            const test::ScanRun withHatch = test::ScanText(CadConfig(), dxf, blockSize);
            EXPECT_EQ(withHatch.Result.Outcome, ScanOutcome::Done) << withHatch.Result.Error;
            EXPECT_EQ(withHatch.Data, plain.Data);
            EXPECT_EQ(withHatch.Report, plain.Report);
        }
    }
}

}  // namespace
}  // namespace quarrow
