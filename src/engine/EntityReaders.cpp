#include "detail/EntityReaders.h"

#include <cmath>
#include <numbers>

#include "config/NodeTables.h"
#include "config/TextUtil.h"
#include "detail/DataRecordWriter.h"
#include "detail/DxfNumber.h"
#include "detail/PairReader.h"
#include "detail/Trig.h"

namespace quarrow {
namespace {

constexpr std::string_view kNoHandle = "!NoHandle!";
constexpr std::string_view kNoLayer = "!NoLayer!";
constexpr std::string_view kNoBlockName = "!NoBlockName!";

// Called with ctx.Error just filled in by a failed conversion. While the entity's space is
// undecided the error is only kept (the first one), in paper space it is dropped; otherwise
// the run ends, on the earliest error of the entity.
bool ConversionFailed(ScanContext& ctx) {
    EntitySpace& space = ctx.Space;
    if (space.Paper)
        return true;
    if (!space.Decided) {
        if (!space.HasDeferred) {
            space.DeferredError.swap(ctx.Error);
            space.HasDeferred = true;
        }
        return true;
    }
    if (space.HasDeferred)
        ctx.Error.swap(space.DeferredError);
    return false;
}

enum class Space { Model, Paper, Failed };

// Ends the entity's undecided stretch (at the end of its pairs, or of a POLYLINE's header): a
// paper-space entity is counted when `counted`, a kept error ends the run now.
Space DecideSpace(ScanContext& ctx, bool counted = true) {
    EntitySpace& space = ctx.Space;
    space.Decided = true;
    if (space.Paper) {
        if (counted)
            Advance(ctx.PaperSpaceCount);
        return Space::Paper;
    }
    if (space.HasDeferred) {
        ctx.Error.swap(space.DeferredError);
        space.HasDeferred = false;
        return Space::Failed;
    }
    return Space::Model;
}

bool ToDouble(ScanContext& ctx, const Pair& pair, double& value, std::string_view what) {
    return ParseDxfDouble(pair.Value, value) ||
           (FailConversion(ctx, pair.Value, pair.Line, what), ConversionFailed(ctx));
}

bool ToDouble(ScanContext& ctx, const KeptNumber& kept, double& value, std::string_view what) {
    if (!kept.Converted)
        return FailConversion(ctx, kept.BadText, kept.Line, what), ConversionFailed(ctx);
    value = kept.Value;
    return true;
}

bool ToInt(ScanContext& ctx, const Pair& pair, std::int32_t& value, std::string_view what) {
    return ParseDxfInt32(pair.Value, value) ||
           (FailConversion(ctx, pair.Value, pair.Line, what, NumberKind::Integer),
            ConversionFailed(ctx));
}

void StartEntity(ScanContext& ctx) {
    ctx.Space.Start();
    ctx.SeparatorTextsChecked = false;
    ctx.PlainTextsReady = false;
    ctx.Scratch.AttributeCount = 0;
    ctx.Scratch.Handle.assign(kNoHandle);
    ctx.Scratch.Layer.assign(kNoLayer);
}

// Stores the handle and the layer, the two groups every reader keeps.
bool KeepHandleOrLayer(ScanContext& ctx, const Pair& pair) {
    if (pair.Code == 5)
        ctx.Scratch.Handle.assign(pair.Value);
    else if (pair.Code == 8)
        ctx.Scratch.Layer.assign(pair.Value);
    else
        return false;
    // A SPLINE may name them between its points.
    ctx.SeparatorTextsChecked = false;
    ctx.PlainTextsReady = false;
    return true;
}

// Writes a computed point; the writer formats it as it would its converted text.
bool WritePoint(ScanContext& ctx, const Vector3& p, std::string_view type,
                std::string_view blockName = {}, std::string_view text = {}) {
    // Huge values in an extrusion or a scale can overflow; say so rather than write "INF".
    const double values[] = {p.X, p.Y, p.Z};
    for (int i = 0; i < 3; ++i) {
        if (!std::isfinite(values[i])) {
            ctx.Error = "Error in DXF file \"" + ctx.DxfPath + "\", line " +
                        std::to_string(ctx.EntityLine) + ": the " + "XYZ"[i] +
                        " coordinate computed for the " + std::string(type) +
                        " that starts at this line is out of range.";
            return false;
        }
    }
    return WriteDataRecord(
        ctx, {.X = {},
              .Y = {},
              .Z = {},
              .Handle = ctx.Scratch.Handle,
              .Layer = ctx.Scratch.Layer,
              .EntityType = type,
              .BlockName = blockName,
              .Text = text,
              .Computed = &p,
              .Attributes = {ctx.Scratch.Attributes.data(), ctx.Scratch.AttributeCount}});
}

// Writes a point kept as the DXF file's own texts.
bool WriteKept(ScanContext& ctx, const KeptText& x, const KeptText& y, const KeptText& z,
               std::string_view type) {
    return WriteDataRecord(ctx, {.X = x.Text,
                                 .Y = y.Text,
                                 .Z = z.Text,
                                 .Handle = ctx.Scratch.Handle,
                                 .Layer = ctx.Scratch.Layer,
                                 .EntityType = type,
                                 .BlockName = {},
                                 .Text = {},
                                 .XLine = x.Line,
                                 .YLine = y.Line,
                                 .ZLine = z.Line,
                                 .Attributes = {}});
}

int Kind(EntityKind kind) {
    return static_cast<int>(kind);
}

// The record's type field: the DXF type name the kind's table row gives.
std::string_view TypeName(EntityKind kind) {
    return kEntityKinds[static_cast<std::size_t>(kind)].TypeLine;
}

}  // namespace

// Every reader below leaves its pair loop on the entity's closing "0" and also at the end of
// the input, where it ends as a complete one would; the scan then refuses the whole drawing as
// cut short, so those records never reach a Data file. An entity in paper space is read
// through, converting nothing, and leaves no record, count or group number.

// Decides the entity's space after its pairs; returns false when reading must stop there
// (paper space, or an error kept from before the decision), with `ok` the reader's result.
bool StopAfterPairs(ScanContext& ctx, bool& ok, bool counted = true) {
    switch (DecideSpace(ctx, counted)) {
    case Space::Model: return false;
    case Space::Paper: ok = true; return true;
    case Space::Failed: ok = false; return true;
    }
    return false;
}

bool ReadPoint(ScanContext& ctx) {
    StartEntity(ctx);
    auto& k = ctx.Scratch.Kept;
    k[0].Clear();
    k[1].Clear();
    k[2].SetZero();
    Pair pair;
    while (ReadPair(ctx, pair) == PairStatus::Pair) {
        if (ctx.Space.Paper || KeepHandleOrLayer(ctx, pair))
            continue;
        switch (pair.Code) {
        case 10: k[0].Set(pair.Value, pair.Line); break;
        case 20: k[1].Set(pair.Value, pair.Line); break;
        case 30: k[2].Set(pair.Value, pair.Line); break;
        default: break;  // thickness, extrusion and angle do not move the exported location
        }
    }
    if (bool ok = true; StopAfterPairs(ctx, ok))
        return ok;
    if (!WriteKept(ctx, k[0], k[1], k[2], TypeName(EntityKind::Points)))
        return false;
    ctx.CountEntity(Kind(EntityKind::Points));
    return true;
}

namespace {

// Reads the extrusion groups 210, 220 and 230; returns false on a conversion error and sets
// matched when the pair was one of them.
bool KeepExtrusion(ScanContext& ctx, const Pair& pair, Vector3& n, bool& matched) {
    matched = true;
    switch (pair.Code) {
    case 210: return ToDouble(ctx, pair, n.X, "extrusion X");
    case 220: return ToDouble(ctx, pair, n.Y, "extrusion Y");
    case 230: return ToDouble(ctx, pair, n.Z, "extrusion Z");
    default: matched = false; return true;
    }
}

// Reads groups 10, 20 and 30 into a point converted as read.
bool KeepPoint(ScanContext& ctx, const Pair& pair, Vector3& p, bool& matched) {
    matched = true;
    switch (pair.Code) {
    case 10: return ToDouble(ctx, pair, p.X, "X coordinate");
    case 20: return ToDouble(ctx, pair, p.Y, "Y coordinate");
    case 30: return ToDouble(ctx, pair, p.Z, "Z coordinate");
    default: matched = false; return true;
    }
}

// Removes the text's leading and trailing blanks and control characters in place.
void TrimInPlace(std::string& text) {
    const std::string_view kept = TrimText(text);
    const std::size_t begin = std::size_t(kept.data() - text.data());
    text.erase(begin + kept.size());
    text.erase(0, begin);
}

// The shape of CIRCLE, ELLIPSE, TEXT and MTEXT: one point, optionally in OCS, optional text.
enum class TextGroups { None, LastGroup1, Groups1And3 };

bool ReadOnePointEntity(ScanContext& ctx, bool ocs, TextGroups textGroups, std::string_view type,
                        EntityKind kind) {
    StartEntity(ctx);
    std::string& text = ctx.Scratch.Text;
    text.clear();
    Vector3 p;
    Vector3 n{0.0, 0.0, 1.0};
    bool embedded = false;  // MTEXT: past group 101, the embedded object (columns) starts
    Pair pair;
    while (ReadPair(ctx, pair) == PairStatus::Pair) {
        if (ctx.Space.Paper || embedded || KeepHandleOrLayer(ctx, pair))
            continue;
        bool matched = false;
        if (!KeepPoint(ctx, pair, p, matched))
            return false;
        if (matched)
            continue;
        if (ocs && !KeepExtrusion(ctx, pair, n, matched))
            return false;
        if (matched)
            continue;
        if (textGroups == TextGroups::LastGroup1 && pair.Code == 1) {
            text.assign(pair.Value);
        } else if (textGroups == TextGroups::Groups1And3) {
            // Chunks joined as written: a blank that ends a chunk separates two words.
            if (pair.Code == 1 || pair.Code == 3)
                text.append(pair.Raw);
            else if (pair.Code == 101)
                embedded = true;  // its own 10/20/30 are no insertion point
        }
        // Radius, axes, heights, styles and the rest are not exported.
    }
    if (bool ok = true; StopAfterPairs(ctx, ok))
        return ok;
    if (textGroups == TextGroups::Groups1And3)
        TrimInPlace(text);
    OcsTransform(n).Apply(p);
    if (!WritePoint(ctx, p, type, {}, text))
        return false;
    ctx.CountEntity(Kind(kind));
    return true;
}

}  // namespace

bool ReadCircle(ScanContext& ctx) {
    return ReadOnePointEntity(ctx, true, TextGroups::None, TypeName(EntityKind::Circles),
                              EntityKind::Circles);
}

bool ReadEllipse(ScanContext& ctx) {
    return ReadOnePointEntity(ctx, false, TextGroups::None, TypeName(EntityKind::Ellipses),
                              EntityKind::Ellipses);
}

bool ReadText(ScanContext& ctx) {
    return ReadOnePointEntity(ctx, true, TextGroups::LastGroup1,
                              TypeName(EntityKind::SingleLineText), EntityKind::SingleLineText);
}

bool ReadMText(ScanContext& ctx) {
    return ReadOnePointEntity(ctx, false, TextGroups::Groups1And3,
                              TypeName(EntityKind::MultiLineText), EntityKind::MultiLineText);
}

bool ReadLineEntity(ScanContext& ctx) {
    StartEntity(ctx);
    auto& k = ctx.Scratch.Kept;  // start X, Y, Z, then end X, Y, Z
    for (int i = 0; i < 6; ++i)
        i % 3 == 2 ? k[std::size_t(i)].SetZero() : k[std::size_t(i)].Clear();
    Pair pair;
    while (ReadPair(ctx, pair) == PairStatus::Pair) {
        if (ctx.Space.Paper || KeepHandleOrLayer(ctx, pair))
            continue;
        switch (pair.Code) {
        case 10: k[0].Set(pair.Value, pair.Line); break;
        case 11: k[3].Set(pair.Value, pair.Line); break;
        case 20: k[1].Set(pair.Value, pair.Line); break;
        case 21: k[4].Set(pair.Value, pair.Line); break;
        case 30: k[2].Set(pair.Value, pair.Line); break;
        case 31: k[5].Set(pair.Value, pair.Line); break;
        default: break;  // thickness and extrusion do not move the end points
        }
    }
    if (bool ok = true; StopAfterPairs(ctx, ok))
        return ok;
    const RunSettings& s = ctx.Settings;
    if (s.Entity(EntityNode::LineStartPoint) &&
        !WriteKept(ctx, k[0], k[1], k[2], TypeName(EntityKind::Lines)))
        return false;
    if (s.Entity(EntityNode::LineEndPoint) &&
        !WriteKept(ctx, k[3], k[4], k[5], TypeName(EntityKind::Lines)))
        return false;
    ctx.CountEntity(Kind(EntityKind::Lines));
    return true;
}

bool ReadArc(ScanContext& ctx) {
    StartEntity(ctx);
    auto& k = ctx.Scratch.Numbers;  // radius, start angle, end angle
    for (int i = 0; i < 3; ++i)
        k[std::size_t(i)].Clear();
    Vector3 centre;
    Vector3 n{0.0, 0.0, 1.0};
    Pair pair;
    while (ReadPair(ctx, pair) == PairStatus::Pair) {
        if (ctx.Space.Paper || KeepHandleOrLayer(ctx, pair))
            continue;
        bool matched = false;
        if (!KeepPoint(ctx, pair, centre, matched))
            return false;
        if (matched)
            continue;
        switch (pair.Code) {
        case 40: k[0].Set(pair.Value, pair.Line); break;
        case 50: k[1].Set(pair.Value, pair.Line); break;
        case 51: k[2].Set(pair.Value, pair.Line); break;
        default:
            if (!KeepExtrusion(ctx, pair, n, matched))
                return false;
            break;  // thickness is not exported
        }
    }
    if (bool ok = true; StopAfterPairs(ctx, ok))
        return ok;
    // Radius and angles convert for every arc, whichever points are exported, so a damaged
    // arc fails the same way under every configuration.
    double radius = 0.0;
    double startDegrees = 0.0;
    double endDegrees = 0.0;
    if (!ToDouble(ctx, k[0], radius, "radius") ||
        !ToDouble(ctx, k[1], startDegrees, "start angle") ||
        !ToDouble(ctx, k[2], endDegrees, "end angle"))
        return false;
    const double a0 = (startDegrees / 180.0) * std::numbers::pi;
    const double a1 = (endDegrees / 180.0) * std::numbers::pi;
    const OcsTransform ocs(n);
    const RunSettings& s = ctx.Settings;
    // Start and end point are computed from the centre in the OCS, then mapped one by one.
    if (s.Entity(EntityNode::ArcStartPoint)) {
        Vector3 p{centre.X + radius * Cosine(a0), centre.Y + radius * Sine(a0), centre.Z};
        ocs.Apply(p);
        if (!WritePoint(ctx, p, TypeName(EntityKind::Arcs)))
            return false;
    }
    if (s.Entity(EntityNode::ArcEndPoint)) {
        Vector3 p{centre.X + radius * Cosine(a1), centre.Y + radius * Sine(a1), centre.Z};
        ocs.Apply(p);
        if (!WritePoint(ctx, p, TypeName(EntityKind::Arcs)))
            return false;
    }
    if (s.Entity(EntityNode::ArcCenter)) {
        Vector3 p = centre;
        ocs.Apply(p);
        if (!WritePoint(ctx, p, TypeName(EntityKind::Arcs)))
            return false;
    }
    ctx.CountEntity(Kind(EntityKind::Arcs));
    return true;
}

bool Read3DFace(ScanContext& ctx) {
    StartEntity(ctx);
    auto& k = ctx.Scratch.Kept;  // corner c: X at 3c, Y at 3c+1, Z at 3c+2
    for (int i = 0; i < 12; ++i)
        i % 3 == 2 ? k[std::size_t(i)].SetZero() : k[std::size_t(i)].Clear();  // no Z: 0
    Pair pair;
    while (ReadPair(ctx, pair) == PairStatus::Pair) {
        if (ctx.Space.Paper || KeepHandleOrLayer(ctx, pair))
            continue;
        // 10-13, 20-23, 30-33: axis from the tens, corner from the units.
        if (pair.Code >= 10 && pair.Code <= 33 && pair.Code % 10 <= 3) {
            const int axis = pair.Code / 10 - 1;
            const int corner = pair.Code % 10;
            k[std::size_t(corner * 3 + axis)].Set(pair.Value, pair.Line);
        }
        // The invisible-edge flags (70) are not exported.
    }
    if (bool ok = true; StopAfterPairs(ctx, ok))
        return ok;
    for (int corner = 0; corner < 4; ++corner) {
        if (!ctx.Settings.Entity(EntityNode(int(EntityNode::FaceFirstPoint) + corner)))
            continue;
        const std::size_t c = std::size_t(corner * 3);
        if (!WriteKept(ctx, k[c], k[c + 1], k[c + 2], TypeName(EntityKind::Faces3D)))
            return false;
    }
    ctx.CountEntity(Kind(EntityKind::Faces3D));
    return true;
}

bool ReadLwPolyline(ScanContext& ctx) {
    StartEntity(ctx);
    auto& k = ctx.Scratch.Numbers;
    KeptNumber& elevation = k[0];
    KeptNumber& pendingX = k[1];
    elevation.SetZero();
    pendingX.Clear();
    Vector3 n{0.0, 0.0, 1.0};
    auto& vertices = ctx.Scratch.Vertices;
    vertices.clear();
    Pair pair;
    while (ReadPair(ctx, pair) == PairStatus::Pair) {
        if (ctx.Space.Paper || KeepHandleOrLayer(ctx, pair))
            continue;
        bool matched = false;
        if (!KeepExtrusion(ctx, pair, n, matched))
            return false;
        if (matched)
            continue;
        switch (pair.Code) {
        case 38: elevation.Set(pair.Value, pair.Line); break;
        case 10: pendingX.Set(pair.Value, pair.Line); break;
        case 20: {
            // The vertex takes the elevation as it stands when its "20" arrives.
            Vector3 v;
            if (!ToDouble(ctx, pendingX, v.X, "X coordinate") ||
                !ToDouble(ctx, pair, v.Y, "Y coordinate") ||
                !ToDouble(ctx, elevation, v.Z, "elevation"))
                return false;
            vertices.push_back(v);
            break;
        }
        default: break;  // bulges, widths and flags are not exported
        }
    }
    if (bool ok = true; StopAfterPairs(ctx, ok))
        return ok;
    // The extrusion groups come after the vertices, so the transform waits for the whole
    // entity.
    const OcsTransform ocs(n);
    for (Vector3 v : vertices) {
        ocs.Apply(v);
        if (!WritePoint(ctx, v, TypeName(EntityKind::Polylines2D)))
            return false;
    }
    ctx.CountEntity(Kind(EntityKind::Polylines2D));
    return true;
}

namespace {

// How a POLYLINE's header or vertex phase ended.
enum class PhaseEnd { Vertex, Seqend, Other, InputEnd };

// Sorts the code-0 pair that ended a phase: VERTEX goes on, SEQEND closes the polyline, and
// anything else closes it too and is handed back to the scan (a POLYLINE without SEQEND).
PhaseEnd EndOfPhase(ScanContext& ctx, PairStatus status, const Pair& pair) {
    if (status != PairStatus::EntityEnd)
        return PhaseEnd::InputEnd;
    if (pair.Value == "VERTEX")
        return PhaseEnd::Vertex;
    if (pair.Value == "SEQEND") {
        ctx.End = ReaderEnd::AfterPair;
        return PhaseEnd::Seqend;
    }
    ctx.End = ReaderEnd::PendingType;
    ctx.PendingType.assign(pair.Raw);
    ctx.PendingTypeLine = pair.Line;
    return PhaseEnd::Other;
}

}  // namespace

bool ReadPolyline(ScanContext& ctx) {
    StartEntity(ctx);
    std::int32_t flags = 0;
    double elevation = 0.0;
    Vector3 n{0.0, 0.0, 1.0};
    auto& k = ctx.Scratch.Numbers;  // the pending vertex: X, Y, Z
    k[0].Clear();
    k[1].Clear();
    k[2].SetZero();
    std::int32_t pendingFlags = 0;
    auto& vertices = ctx.Scratch.Vertices;
    auto& vertexFlags = ctx.Scratch.VertexFlags;
    vertices.clear();
    vertexFlags.clear();
    const RunSettings& s = ctx.Settings;
    const bool polylines2D = s.Entity(EntityNode::Polylines2D);
    const bool curvePoints2D = s.Entity(EntityNode::Polyline2DCurvePoints);
    const bool polylines3D = s.Entity(EntityNode::Polylines3D);
    const bool splinePoints3D = s.Entity(EntityNode::Polyline3DSplinePoints);

    // Header phase: its space is decided at its end, so a paper-space header converts
    // nothing that could fail.
    Pair pair;
    PairStatus status;
    while ((status = ReadWholePair(ctx, pair)) == PairStatus::Pair) {
        if (pair.Code == 67 && IsOne(pair.Value))
            ctx.Space.Paper = true;
        if (ctx.Space.Paper || KeepHandleOrLayer(ctx, pair))
            continue;
        bool matched = false;
        if (pair.Code == 70) {
            if (!ToInt(ctx, pair, flags, "polyline flags"))
                return false;
        } else if (!KeepExtrusion(ctx, pair, n, matched)) {
            return false;
        } else if (!matched && pair.Code == 30 && !ToDouble(ctx, pair, elevation, "elevation")) {
            return false;
        }
        // The header's 10 and 20 carry no position.
    }
    PhaseEnd phase = EndOfPhase(ctx, status, pair);
    const bool paper = ctx.Space.Paper;
    switch (DecideSpace(ctx, polylines2D || polylines3D)) {
    case Space::Failed: return false;
    case Space::Paper:
    case Space::Model: break;
    }
    // A header followed directly by SEQEND or another entity has no vertex: with nothing to
    // export it is neither written nor counted.
    if (phase != PhaseEnd::Vertex)
        return true;

    // Vertex phase: every "0" completes the VERTEX before it. X, Y and the flags carry over
    // to a VERTEX without them; each VERTEX starts at Z 0.
    const auto appendPending = [&]() {
        if (paper)
            return true;  // read through, converting nothing
        Vector3 v;
        if (!ToDouble(ctx, k[0], v.X, "vertex X coordinate") ||
            !ToDouble(ctx, k[1], v.Y, "vertex Y coordinate") ||
            !ToDouble(ctx, k[2], v.Z, "vertex Z coordinate"))
            return false;
        vertices.push_back(v);
        vertexFlags.push_back(pendingFlags);
        k[2].SetZero();
        return true;
    };
    bool vertexOpen = false;  // pairs read since the last "0"
    for (;;) {
        status = ReadWholePair(ctx, pair);
        if (status == PairStatus::InputEnd)
            break;
        if (status == PairStatus::EntityEnd) {
            if (!appendPending())
                return false;
            vertexOpen = false;
            phase = EndOfPhase(ctx, status, pair);
            if (phase != PhaseEnd::Vertex)
                break;
            continue;
        }
        vertexOpen = true;
        if (paper)
            continue;
        switch (pair.Code) {
        case 70:
            if (!ToInt(ctx, pair, pendingFlags, "vertex flags"))
                return false;
            break;
        case 10: k[0].Set(pair.Value, pair.Line); break;
        case 20: k[1].Set(pair.Value, pair.Line); break;
        case 30: k[2].Set(pair.Value, pair.Line); break;
        default: break;  // handles and layers of VERTEX entities are not exported; bulges neither
        }
    }
    // The VERTEX being read when the input ended counts with what it gathered.
    if (status == PairStatus::InputEnd && vertexOpen && !appendPending())
        return false;
    if (paper)
        return true;

    // Output phase.
    const std::size_t count = vertices.size();
    if ((flags & 8) != 0 && polylines3D) {
        for (std::size_t i = 0; i < count; ++i) {
            const std::int32_t f = vertexFlags[i];
            if ((f == 32 || (f & 16) != 0 || splinePoints3D) &&
                !WritePoint(ctx, vertices[i], "3DPOLYLINE"))
                return false;
        }
    } else if ((flags & (64 | 16)) != 0 && polylines3D) {
        for (std::size_t i = 0; i < count; ++i)
            if ((vertexFlags[i] & 64) != 0 && !WritePoint(ctx, vertices[i], "3DPOLYLINE"))
                return false;
    } else if ((flags & 8) == 0 && polylines2D) {
        const OcsTransform ocs(n);
        for (std::size_t i = 0; i < count; ++i) {
            Vector3 v = vertices[i];
            v.Z = elevation;  // a 2D polyline lies at its header's elevation
            ocs.Apply(v);
            // 0: a plain vertex; 2: an original vertex of a curve-fit polyline (a tangent
            // given); 16: a spline frame point. 1 and 8 mark vertices that fitting added.
            const std::int32_t f = vertexFlags[i];
            if ((f == 0 || f == 2 || (f & 16) != 0 || curvePoints2D) &&
                !WritePoint(ctx, v, "2DPOLYLINE"))
                return false;
        }
    }

    // Counted exactly when one of the three cases above applied.
    if ((flags & (8 | 16 | 64)) != 0 && polylines3D)
        ctx.CountEntity(Kind(EntityKind::Polylines3D));
    else if ((flags & 8) == 0 && polylines2D)
        ctx.CountEntity(Kind(EntityKind::Polylines2D));
    return true;
}

bool ReadSpline(ScanContext& ctx) {
    StartEntity(ctx);
    auto& k = ctx.Scratch.Kept;  // the pending point, shared by control and fit points
    k[0].Clear();
    k[1].Clear();
    k[2].SetZero();
    KeptText& zero = k[3];  // the Z of a point whose own Z group is absent
    zero.SetZero();
    const bool controlPoints = ctx.Settings.Entity(EntityNode::SplineControlPoints);
    const bool fitPoints = ctx.Settings.Entity(EntityNode::SplineFitPoints);
    // The code (10 or 11) that opened a point still waiting for its Z, else 0.
    int open = 0;
    const auto writeOpenWithoutZ = [&]() {
        const bool wanted = open == 10 ? controlPoints : fitPoints;
        open = 0;
        return !wanted || WriteKept(ctx, k[0], k[1], zero, TypeName(EntityKind::Splines));
    };
    Pair pair;
    while (ReadPair(ctx, pair) == PairStatus::Pair) {
        if (ctx.Space.Paper || KeepHandleOrLayer(ctx, pair))
            continue;
        switch (pair.Code) {
        case 10:
        case 11:
            if (open != 0 && !writeOpenWithoutZ())
                return false;
            k[0].Set(pair.Value, pair.Line);
            open = pair.Code;
            break;
        case 20:
        case 21: k[1].Set(pair.Value, pair.Line); break;
        case 30:
        case 31:
            // A point is complete when its Z arrives.
            k[2].Set(pair.Value, pair.Line);
            open = 0;
            if ((pair.Code == 30 ? controlPoints : fitPoints) &&
                !WriteKept(ctx, k[0], k[1], k[2], TypeName(EntityKind::Splines)))
                return false;
            break;
        default: break;  // knots, weights, tangents and the normal are not exported
        }
    }
    if (bool ok = true; StopAfterPairs(ctx, ok))
        return ok;
    if (open != 0 && !writeOpenWithoutZ())
        return false;
    ctx.CountEntity(Kind(EntityKind::Splines));
    return true;
}

namespace {

// Reads the ATTRIB entities that follow a block reference with group 66 = 1, through their
// SEQEND; called after the reference's closing code line "0", before its value. Another
// entity where an ATTRIB or SEQEND should be is handed back to the scan, as after a POLYLINE
// without SEQEND.
void ReadAttributes(ScanContext& ctx) {
    ReaderScratch& s = ctx.Scratch;
    if (ctx.In.AtEnd())
        return;
    std::string_view type = ctx.In.NextLine();
    std::int64_t typeLine = ctx.In.LineNumber();
    Pair pair;
    while (type == "ATTRIB") {
        if (s.Attributes.size() == s.AttributeCount)
            s.Attributes.emplace_back();
        AttributeText& attribute = s.Attributes[s.AttributeCount++];
        attribute.Tag.clear();
        attribute.Value.clear();
        bool embedded = false;  // past group 101, an embedded MTEXT repeats groups 1 and 2
        PairStatus status;
        while ((status = ReadWholePair(ctx, pair)) == PairStatus::Pair) {
            if (pair.Code == 101)
                embedded = true;
            else if (pair.Code == 1 && !embedded)
                attribute.Value.assign(pair.Value);
            else if (pair.Code == 2 && !embedded)
                attribute.Tag.assign(pair.Value);
        }
        if (status == PairStatus::InputEnd)
            return;
        type = pair.Raw;
        typeLine = pair.Line;
    }
    if (type == "SEQEND") {
        ctx.End = ReaderEnd::AfterPair;
        return;
    }
    ctx.End = ReaderEnd::PendingType;
    ctx.PendingType.assign(type);
    ctx.PendingTypeLine = typeLine;
}

}  // namespace

bool ReadInsert(ScanContext& ctx) {
    StartEntity(ctx);
    std::string& blockName = ctx.Scratch.BlockName;
    std::string& text = ctx.Scratch.Text;
    blockName.assign(kNoBlockName);
    text.clear();
    Vector3 p;
    Vector3 n{0.0, 0.0, 1.0};
    bool attributesFollow = false;
    Pair pair;
    PairStatus status;
    while ((status = ReadPair(ctx, pair)) == PairStatus::Pair) {
        if (ctx.Space.Paper || KeepHandleOrLayer(ctx, pair))
            continue;
        if (pair.Code == 1) {
            text.assign(pair.Value);
            continue;
        }
        if (pair.Code == 66) {
            attributesFollow = IsOne(pair.Value);
            continue;
        }
        if (pair.Code == 2) {
            blockName.assign(pair.Value);
            continue;
        }
        bool matched = false;
        if (!KeepPoint(ctx, pair, p, matched))
            return false;
        if (!matched && !KeepExtrusion(ctx, pair, n, matched))
            return false;
        // Scales, rotation and array counts are not read: one record per reference.
    }
    // Paper space is counted whatever the block-name filter says.
    if (bool ok = true; StopAfterPairs(ctx, ok))
        return ok;
    OcsTransform(n).Apply(p);
    // A reference the filter rejects leaves no record, count, group or tally; only the
    // warning of a drawing that gave no records counts it.
    if (!ctx.Settings.Filter.Empty() && !ctx.Settings.Filter.Passes(blockName)) {
        Advance(ctx.FilteredOut);
        return true;
    }
    // Its attributes are read only when a field shows them; else the scan skips them.
    if (attributesFollow && status == PairStatus::EntityEnd && ctx.Settings.ReadsAttributes)
        ReadAttributes(ctx);
    if (!WritePoint(ctx, p, TypeName(EntityKind::Blocks), blockName, text))
        return false;
    ctx.CountEntity(Kind(EntityKind::Blocks));
    ctx.Tally.Add(blockName);
    return true;
}

}  // namespace quarrow
