#include "DrawingGenerator.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

namespace quarrow::bench {
namespace {

// Coordinates are integers in millionths of a drawing unit, so every digit written is decided
// by integer arithmetic and the output cannot differ between compilers or C libraries.
constexpr std::int64_t kUnit = 1'000'000;
constexpr std::int64_t kMinX = 500'000 * kUnit;
constexpr std::int64_t kMinY = 4'100'000 * kUnit;
constexpr std::int64_t kSpan = 2'000 * kUnit;
constexpr std::int64_t kMinZ = 80 * kUnit;
constexpr std::int64_t kZSpan = 170 * kUnit;
constexpr std::int64_t kMargin = 1'000 * kUnit;

constexpr std::size_t kFlushBytes = 1u << 20;

// Handles of the two fixed block records; entities of model space name the first as owner.
constexpr std::uint64_t kModelSpaceRecord = 0x1F;
constexpr std::uint64_t kPaperSpaceRecord = 0x1B;
constexpr std::uint64_t kFirstHandle = 0x30;

constexpr std::array<std::string_view, 13> kLayers = {
    "0",          "SURVEY_POINTS", "SPOT_HEIGHTS", "ROAD_EDGE", "BUILDINGS",
    "KERB",       "CONTOURS_MAJ",  "CONTOURS_MIN", "TREES",     "UTILITIES",
    "ANNOTATION", "BOUNDARY",      "DRAINAGE"};

struct BlockDef {
    std::string_view Name;
    std::string_view Layer;
};
constexpr std::array<BlockDef, 6> kBlocks = {{{"TREE", "TREES"},
                                              {"MH", "DRAINAGE"},
                                              {"LAMP_POST", "UTILITIES"},
                                              {"BM", "SURVEY_POINTS"},
                                              {"VALVE", "UTILITIES"},
                                              {"GULLY", "DRAINAGE"}}};

// Text values met in survey drawings; none equals an entity type name. \xB0 and \xD8 are the
// single-byte degree sign and slashed O, which must pass through readers unchanged.
constexpr std::array<std::string_view, 14> kWords = {
    "BM", "MH",   "IL",    "FFL",    "Oak",    "Ash",   "\xD8 300 PVC",
    "CL", "Kerb", "Gully", "45\xB0", "TBM 12", "Fence", "Gate"};

// Every random draw is its own statement or initialiser: the order in which a compiler
// evaluates function arguments is unspecified and differs between g++ and clang.
class Generator {
public:
    Generator(const DrawingOptions& options, const DrawingSink& sink)
        : options_(options), sink_(sink), state_(options.Seed), eol_(options.CrLf ? "\r\n" : "\n") {
        buffer_.reserve(kFlushBytes + 64 * 1024);
    }

    bool Run() {
        WriteHeader();
        WriteTables();
        WriteBlocks();
        Section("ENTITIES");
        while (ok_ && written_ + buffer_.size() < options_.TargetBytes)
            WriteEntity();
        EndSection();
        WriteObjects();
        Pair(0, "EOF");
        Flush();
        return ok_;
    }

private:
    // splitmix64: tiny, fast and defined by integer operations only.
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::int64_t Below(std::int64_t n) { return std::int64_t(Next() % std::uint64_t(n)); }
    std::int64_t Between(std::int64_t lo, std::int64_t hi) { return lo + Below(hi - lo + 1); }
    bool Percent(int p) { return Below(100) < p; }
    template <typename T, std::size_t N>
    const T& Pick(const std::array<T, N>& a) {
        return a[std::size_t(Below(std::int64_t(N)))];
    }

    std::uint64_t NewHandle() {
        // A handle that reads like an entity type would start a reader in a scan that sees it.
        if (handle_ == 0x3DFACE)
            ++handle_;
        return handle_++;
    }

    // --- output -----------------------------------------------------------------------------
    void Flush() {
        if (ok_ && !buffer_.empty())
            ok_ = sink_(buffer_);
        written_ += buffer_.size();
        buffer_.clear();
    }
    void EndLine() {
        buffer_ += eol_;
        if (buffer_.size() >= kFlushBytes)
            Flush();
    }
    void Code(int code) {
        // Group codes right-aligned in three columns, as common CAD writers pad them.
        if (code < 10)
            buffer_ += "  ";
        else if (code < 100)
            buffer_ += ' ';
        AppendInt(code);
        EndLine();
    }
    void AppendInt(std::int64_t v) {
        char digits[24];
        const auto r = std::to_chars(digits, digits + sizeof digits, v);
        buffer_.append(digits, std::size_t(r.ptr - digits));
    }
    void Pair(int code, std::string_view value) {
        Code(code);
        buffer_ += value;
        EndLine();
    }
    void Int(int code, std::int64_t value) {
        Code(code);
        AppendInt(value);
        EndLine();
    }
    void Hex(int code, std::uint64_t value) {
        Code(code);
        char digits[20];
        const auto r = std::to_chars(digits, digits + sizeof digits, value, 16);
        for (char* c = digits; c != r.ptr; ++c)
            buffer_ += (*c >= 'a' && *c <= 'f') ? char(*c - 'a' + 'A') : *c;
        EndLine();
    }
    // A number in millionths, written with the digits it needs and at least one decimal.
    void Num(int code, std::int64_t micro) {
        Code(code);
        if (micro < 0) {
            buffer_ += '-';
            micro = -micro;
        }
        AppendInt(micro / kUnit);
        buffer_ += '.';
        std::int64_t frac = micro % kUnit;
        char digits[6];
        for (int i = 5; i >= 0; --i) {
            digits[i] = char('0' + frac % 10);
            frac /= 10;
        }
        int used = 6;
        while (used > 1 && digits[used - 1] == '0')
            --used;
        buffer_.append(digits, std::size_t(used));
        EndLine();
    }
    void Point(int code, std::int64_t x, std::int64_t y, std::int64_t z) {
        Num(code, x);
        Num(code + 10, y);
        Num(code + 20, z);
    }

    void Section(std::string_view name) {
        Pair(0, "SECTION");
        Pair(2, name);
    }
    void EndSection() { Pair(0, "ENDSEC"); }

    // Starts an entity: type, handle, owner, common subclass and layer, now and then a colour.
    void Begin(std::string_view type, std::string_view layer, std::uint64_t owner,
               std::uint64_t handle) {
        Pair(0, type);
        Hex(5, handle);
        Hex(330, owner);
        Pair(100, "AcDbEntity");
        Pair(8, layer);
        if (Percent(8))
            Int(62, Between(1, 255));
        if (Percent(3))
            Pair(6, "DASHED");
    }
    std::uint64_t Begin(std::string_view type, std::string_view layer) {
        const std::uint64_t handle = NewHandle();
        Begin(type, layer, kModelSpaceRecord, handle);
        return handle;
    }

    // --- random geometry --------------------------------------------------------------------
    std::int64_t X() { return kMinX + Below(kSpan); }
    std::int64_t Y() { return kMinY + Below(kSpan); }
    std::int64_t Z() { return kMinZ + Below(kZSpan); }
    // Survey points carry millimetres; computed geometry carries more digits.
    static std::int64_t Mm(std::int64_t micro) { return micro / 1000 * 1000; }
    std::int64_t Step() { return Between(-20 * kUnit, 20 * kUnit); }
    std::int64_t Angle() { return Below(360 * kUnit); }

    // Writes the extrusion (0, 0, -1) of a mirrored entity.
    void Mirrored() {
        Num(210, 0);
        Num(220, 0);
        Num(230, -kUnit);
    }

    // --- sections ---------------------------------------------------------------------------
    void WriteHeader() {
        Section("HEADER");
        Pair(9, "$ACADVER");
        Pair(1, "AC1015");
        Pair(9, "$DWGCODEPAGE");
        Pair(3, "ANSI_1252");
        Pair(9, "$INSBASE");
        Point(10, 0, 0, 0);
        // Polylines wander up to a kilometre beyond the area their first vertices are drawn in.
        Pair(9, "$EXTMIN");
        Point(10, kMinX - kMargin, kMinY - kMargin, kMinZ - kMargin / 10);
        Pair(9, "$EXTMAX");
        Point(10, kMinX + kSpan + kMargin, kMinY + kSpan + kMargin, kMinZ + kZSpan + kMargin / 10);
        Pair(9, "$LIMMIN");
        Num(10, kMinX);
        Num(20, kMinY);
        Pair(9, "$LIMMAX");
        Num(10, kMinX + kSpan);
        Num(20, kMinY + kSpan);
        Pair(9, "$INSUNITS");
        Int(70, 6);
        // Above any handle the drawing can use: every handled entity takes more than 16 bytes.
        Pair(9, "$HANDSEED");
        Hex(5, kFirstHandle + options_.TargetBytes / 16 + 0x10000);
        EndSection();
    }

    void TableStart(std::string_view name, std::uint64_t handle, int count) {
        Pair(0, "TABLE");
        Pair(2, name);
        Hex(5, handle);
        Hex(330, 0);
        Pair(100, "AcDbSymbolTable");
        Int(70, count);
    }

    void WriteTables() {
        Section("TABLES");
        const std::uint64_t ltypeTable = NewHandle();
        TableStart("LTYPE", ltypeTable, 2);
        for (std::string_view name : {"CONTINUOUS", "DASHED"}) {
            Pair(0, "LTYPE");
            Hex(5, NewHandle());
            Hex(330, ltypeTable);
            Pair(100, "AcDbSymbolTableRecord");
            Pair(100, "AcDbLinetypeTableRecord");
            Pair(2, name);
            Int(70, 0);
            Pair(3, name == "DASHED" ? "Dashed __ __ __" : "Solid line");
            Int(72, 65);
            Int(73, name == "DASHED" ? 2 : 0);
            Num(40, name == "DASHED" ? 750'000 : 0);
            if (name == "DASHED") {
                Num(49, 500'000);
                Int(74, 0);
                Num(49, -250'000);
                Int(74, 0);
            }
        }
        Pair(0, "ENDTAB");

        const std::uint64_t layerTable = NewHandle();
        TableStart("LAYER", layerTable, int(kLayers.size()));
        int colour = 1;
        for (std::string_view name : kLayers) {
            Pair(0, "LAYER");
            Hex(5, NewHandle());
            Hex(330, layerTable);
            Pair(100, "AcDbSymbolTableRecord");
            Pair(100, "AcDbLayerTableRecord");
            Pair(2, name);
            Int(70, 0);
            Int(62, colour++);
            Pair(6, "CONTINUOUS");
        }
        Pair(0, "ENDTAB");

        const std::uint64_t recordTable = NewHandle();
        TableStart("BLOCK_RECORD", recordTable, int(kBlocks.size()) + 2);
        auto record = [&](std::string_view name, std::uint64_t handle) {
            Pair(0, "BLOCK_RECORD");
            Hex(5, handle);
            Hex(330, recordTable);
            Pair(100, "AcDbSymbolTableRecord");
            Pair(100, "AcDbBlockTableRecord");
            Pair(2, name);
        };
        record("*Model_Space", kModelSpaceRecord);
        record("*Paper_Space", kPaperSpaceRecord);
        for (std::size_t i = 0; i < kBlocks.size(); ++i) {
            blockRecords_[i] = NewHandle();
            record(kBlocks[i].Name, blockRecords_[i]);
        }
        Pair(0, "ENDTAB");
        EndSection();
    }

    void BlockStart(std::string_view name, std::string_view layer, std::uint64_t owner) {
        Pair(0, "BLOCK");
        Hex(5, NewHandle());
        Hex(330, owner);
        Pair(100, "AcDbEntity");
        Pair(8, layer);
        Pair(100, "AcDbBlockBegin");
        Pair(2, name);
        Int(70, 0);
        Point(10, 0, 0, 0);
        Pair(3, name);
        Pair(1, "");
    }
    void BlockEnd(std::string_view layer, std::uint64_t owner) {
        Pair(0, "ENDBLK");
        Hex(5, NewHandle());
        Hex(330, owner);
        Pair(100, "AcDbEntity");
        Pair(8, layer);
        Pair(100, "AcDbBlockEnd");
    }

    // Block definitions hold entities too; the scan must not export them.
    void WriteBlocks() {
        Section("BLOCKS");
        BlockStart("*Model_Space", "0", kModelSpaceRecord);
        BlockEnd("0", kModelSpaceRecord);
        BlockStart("*Paper_Space", "0", kPaperSpaceRecord);
        BlockEnd("0", kPaperSpaceRecord);
        for (std::size_t i = 0; i < kBlocks.size(); ++i) {
            const std::uint64_t owner = blockRecords_[i];
            BlockStart(kBlocks[i].Name, "0", owner);
            Begin("CIRCLE", "0", owner, NewHandle());
            Pair(100, "AcDbCircle");
            Point(10, 0, 0, 0);
            Num(40, 250'000 * std::int64_t(i + 1));
            Begin("LINE", "0", owner, NewHandle());
            Pair(100, "AcDbLine");
            Point(10, -500'000, 0, 0);
            Point(11, 500'000, 0, 0);
            if (kBlocks[i].Name == "TREE") {
                Begin("ATTDEF", "0", owner, NewHandle());
                Pair(100, "AcDbText");
                Point(10, 600'000, 0, 0);
                Num(40, 250'000);
                Pair(1, "");
                Pair(100, "AcDbAttributeDefinition");
                Pair(3, "Species");
                Pair(2, "SPECIES");
                Int(70, 0);
            }
            BlockEnd("0", owner);
        }
        EndSection();
    }

    void WriteObjects() {
        Section("OBJECTS");
        const std::uint64_t root = NewHandle();
        Pair(0, "DICTIONARY");
        Hex(5, root);
        Hex(330, 0);
        Pair(100, "AcDbDictionary");
        Int(281, 1);
        Pair(3, "ACAD_GROUP");
        Hex(350, root + 1);
        Pair(0, "DICTIONARY");
        Hex(5, NewHandle());
        Hex(330, root);
        Pair(100, "AcDbDictionary");
        Int(281, 1);
        EndSection();
    }

    // --- entities ---------------------------------------------------------------------------
    void WriteEntity() {
        // Shares per thousand entities, roughly those of a topographic survey drawing.
        const std::int64_t roll = Below(1000);
        if (roll < 170)
            PointEntity();
        else if (roll < 320)
            LineEntity();
        else if (roll < 460)
            LwPolyline();
        else if (roll < 500)
            Polyline2d();
        else if (roll < 540)
            Polyline3d();
        else if (roll < 548)
            PolyfaceMesh();
        else if (roll < 555)
            PolygonMesh();
        else if (roll < 615)
            Circle();
        else if (roll < 675)
            Arc();
        else if (roll < 695)
            Ellipse();
        else if (roll < 785)
            Text();
        else if (roll < 825)
            MText();
        else if (roll < 905)
            Insert();
        else if (roll < 935)
            Spline();
        else if (roll < 985)
            Face3d();
        else
            Hatch();
    }

    std::string_view LayerOf(std::initializer_list<std::string_view> layers) {
        return layers.begin()[Below(std::int64_t(layers.size()))];
    }

    void PointEntity() {
        Begin("POINT", LayerOf({"SURVEY_POINTS", "SPOT_HEIGHTS", "0"}));
        Pair(100, "AcDbPoint");
        const std::int64_t x = Mm(X()), y = Mm(Y()), z = Mm(Z());
        Point(10, x, y, z);
    }

    void LineEntity() {
        Begin("LINE", LayerOf({"ROAD_EDGE", "KERB", "BUILDINGS", "UTILITIES", "0"}));
        Pair(100, "AcDbLine");
        const std::int64_t x = X(), y = Y(), z = Z();
        Point(10, x, y, z);
        const std::int64_t dx = Step(), dy = Step(), dz = Below(kUnit);
        Point(11, x + dx, y + dy, z + dz);
    }

    void LwPolyline() {
        const bool mirrored = Percent(3);
        const bool contour = Percent(30);
        Begin("LWPOLYLINE", contour ? LayerOf({"CONTOURS_MAJ", "CONTOURS_MIN"})
                                    : LayerOf({"ROAD_EDGE", "BUILDINGS", "KERB", "BOUNDARY"}));
        Pair(100, "AcDbPolyline");
        const std::int64_t count = Between(5, 50);
        Int(90, count);
        Int(70, Percent(25) ? 1 : 0);
        Num(43, 0);
        const std::int64_t elevation = contour ? Z() / kUnit * kUnit : 0;
        if (contour)
            Num(38, mirrored ? -elevation : elevation);
        std::int64_t x = X(), y = Y();
        for (std::int64_t i = 0; i < count; ++i) {
            Num(10, mirrored ? -x : x);
            Num(20, y);
            if (Percent(10))
                Num(42, Between(-kUnit, kUnit));
            x += Step();
            y += Step();
        }
        if (mirrored)
            Mirrored();
    }

    void Vertex(std::uint64_t owner, std::string_view layer, std::string_view subclass,
                std::int64_t x, std::int64_t y, std::int64_t z, int flags) {
        Begin("VERTEX", layer, owner, NewHandle());
        Pair(100, "AcDbVertex");
        Pair(100, subclass);
        Point(10, x, y, z);
        Int(70, flags);
    }
    void SeqEnd(std::uint64_t owner, std::string_view layer) {
        Begin("SEQEND", layer, owner, NewHandle());
    }
    void PolylineHeader(std::string_view subclass) {
        Pair(100, subclass);
        Int(66, 1);
        Num(10, 0);
        Num(20, 0);
    }

    void Polyline2d() {
        const bool mirrored = Percent(3);
        const std::string_view layer = LayerOf({"ROAD_EDGE", "BOUNDARY", "CONTOURS_MIN"});
        const std::uint64_t handle = Begin("POLYLINE", layer);
        // Plain, curve-fit (flag 2) or spline-fit (flag 4), closed now and then.
        const std::int64_t roll = Below(100);
        const int fit = roll < 70 ? 0 : roll < 85 ? 2 : 4;
        const int flags = fit | (Percent(20) ? 1 : 0);
        PolylineHeader("AcDb2dPolyline");
        const std::int64_t elevation = Percent(40) ? Z() / 1000 * 1000 : 0;
        Num(30, mirrored ? -elevation : elevation);
        Int(70, flags);
        if (mirrored)
            Mirrored();
        const std::int64_t count = Between(4, 40);
        std::int64_t x = X(), y = Y();
        for (std::int64_t i = 0; i < count; ++i) {
            int vertexFlags = 0;
            if (fit == 2)
                vertexFlags = i % 2 == 1 ? 1 : 0;  // vertices added by curve fitting
            else if (fit == 4)
                vertexFlags = i % 3 == 0 ? 16 : 8;  // frame control points and fitted ones
            // 2D vertices carry Z 0; the header's elevation places them.
            Vertex(handle, layer, "AcDb2dVertex", mirrored ? -x : x, y, 0, vertexFlags);
            x += Step();
            y += Step();
        }
        SeqEnd(handle, layer);
    }

    void Polyline3d() {
        const std::string_view layer = LayerOf({"ROAD_EDGE", "DRAINAGE", "UTILITIES"});
        const std::uint64_t handle = Begin("POLYLINE", layer);
        const bool splined = Percent(25);
        const int flags = 8 | (splined ? 4 : 0) | (Percent(15) ? 1 : 0);
        PolylineHeader("AcDb3dPolyline");
        Num(30, 0);
        Int(70, flags);
        const std::int64_t count = Between(4, 40);
        std::int64_t x = X(), y = Y(), z = Z();
        for (std::int64_t i = 0; i < count; ++i) {
            const int vertexFlags = !splined ? 32 : i % 3 == 0 ? 48 : 40;
            Vertex(handle, layer, "AcDb3dPolylineVertex", x, y, z, vertexFlags);
            x += Step();
            y += Step();
            z += Between(-kUnit, kUnit);
        }
        SeqEnd(handle, layer);
    }

    void PolyfaceMesh() {
        const std::string_view layer = "BUILDINGS";
        const std::uint64_t handle = Begin("POLYLINE", layer);
        const std::int64_t vertices = Between(4, 12);
        const std::int64_t faces = vertices - 2;
        PolylineHeader("AcDbPolyFaceMesh");
        Num(30, 0);
        Int(70, 64);
        Int(71, vertices);
        Int(72, faces);
        const std::int64_t x = X(), y = Y(), z = Z();
        for (std::int64_t i = 0; i < vertices; ++i) {
            const std::int64_t dx = Step(), dy = Step(), dz = Between(0, 10 * kUnit);
            Vertex(handle, layer, "AcDbPolyFaceMeshVertex", x + dx, y + dy, z + dz, 192);
        }
        for (std::int64_t i = 0; i < faces; ++i) {
            Begin("VERTEX", layer, handle, NewHandle());
            Pair(100, "AcDbFaceRecord");
            Point(10, 0, 0, 0);
            Int(70, 128);
            Int(71, 1);
            Int(72, i + 2);
            Int(73, i + 3);
        }
        SeqEnd(handle, layer);
    }

    void PolygonMesh() {
        const std::string_view layer = "CONTOURS_MIN";
        const std::uint64_t handle = Begin("POLYLINE", layer);
        const std::int64_t m = Between(2, 6), n = Between(2, 6);
        PolylineHeader("AcDbPolygonMesh");
        Num(30, 0);
        Int(70, 16);
        Int(71, m);
        Int(72, n);
        const std::int64_t x = X(), y = Y(), z = Z();
        for (std::int64_t i = 0; i < m; ++i)
            for (std::int64_t j = 0; j < n; ++j)
                Vertex(handle, layer, "AcDbPolygonMeshVertex", x + i * 5 * kUnit, y + j * 5 * kUnit,
                       z + Below(2 * kUnit), 64);
        SeqEnd(handle, layer);
    }

    void Circle() {
        const bool mirrored = Percent(3);
        Begin("CIRCLE", LayerOf({"TREES", "UTILITIES", "DRAINAGE"}));
        Pair(100, "AcDbCircle");
        if (Percent(5))
            Num(39, Between(0, 3 * kUnit));
        const std::int64_t x = X(), y = Y(), z = Z();
        Point(10, mirrored ? -x : x, y, mirrored ? -z : z);
        Num(40, Between(100'000, 5 * kUnit));
        if (mirrored)
            Mirrored();
    }

    void Arc() {
        const bool mirrored = Percent(3);
        Begin("ARC", LayerOf({"ROAD_EDGE", "KERB", "BUILDINGS"}));
        Pair(100, "AcDbCircle");
        const std::int64_t x = X(), y = Y(), z = Z();
        Point(10, mirrored ? -x : x, y, mirrored ? -z : z);
        Num(40, Between(500'000, 50 * kUnit));
        if (mirrored)
            Mirrored();
        Pair(100, "AcDbArc");
        Num(50, Angle());
        Num(51, Angle());
    }

    void Ellipse() {
        Begin("ELLIPSE", LayerOf({"BUILDINGS", "0"}));
        Pair(100, "AcDbEllipse");
        const std::int64_t x = X(), y = Y();
        Point(10, x, y, 0);
        const std::int64_t major = Between(kUnit, 20 * kUnit),
                           minor = Between(-5 * kUnit, 5 * kUnit);
        Point(11, major, minor, 0);
        // World coordinates: the extrusion is written but does not move the centre.
        Num(210, 0);
        Num(220, 0);
        Num(230, kUnit);
        Num(40, Between(100'000, kUnit));
        Num(41, 0);
        Num(42, 6'283'185);
    }

    std::string TextValue() {
        std::string text(Pick(kWords));
        text += ' ';
        char digits[24];
        const auto r = std::to_chars(digits, digits + sizeof digits, Between(1, 9999));
        text.append(digits, std::size_t(r.ptr - digits));
        return text;
    }

    void Text() {
        const bool mirrored = Percent(3);
        Begin("TEXT", LayerOf({"ANNOTATION", "SPOT_HEIGHTS", "SURVEY_POINTS"}));
        Pair(100, "AcDbText");
        const std::int64_t x = X(), y = Y(), z = Percent(50) ? 0 : Z();
        Point(10, mirrored ? -x : x, y, mirrored ? -z : z);
        Num(40, Between(100'000, 2 * kUnit));
        std::string text = TextValue();
        if (Percent(5))
            text = "  " + text + " ";  // padded values lose their blanks in the readers
        Pair(1, text);
        if (Percent(30))
            Num(50, Angle());
        const bool justified = Percent(20);
        if (justified) {
            Int(72, 1);
            Point(11, mirrored ? -x : x, y + 500'000, mirrored ? -z : z);
        }
        if (mirrored)
            Mirrored();
        Pair(100, "AcDbText");
        if (justified)
            Int(73, 2);
    }

    void MText() {
        Begin("MTEXT", "ANNOTATION");
        Pair(100, "AcDbMText");
        const std::int64_t x = X(), y = Y();
        Point(10, x, y, 0);
        Num(40, Between(100'000, kUnit));
        Num(41, Between(5 * kUnit, 30 * kUnit));
        Int(71, 1);
        Int(72, 5);
        // Long notes are split into 250-byte chunks (group 3) before the last one (group 1).
        std::string text = "{\\fArial|b0|i0|c0|p34;" + TextValue() + "}";
        const std::int64_t paragraphs = Percent(15) ? Between(20, 60) : Between(0, 3);
        for (std::int64_t i = 0; i < paragraphs; ++i) {
            text += "\\P" + TextValue();
            text += " level " + TextValue();
        }
        std::size_t at = 0;
        while (text.size() - at > 250) {
            Pair(3, std::string_view(text).substr(at, 250));
            at += 250;
        }
        Pair(1, std::string_view(text).substr(at));
        Pair(7, "Standard");
        if (Percent(10)) {
            Num(210, 0);
            Num(220, 0);
            Num(230, kUnit);
        }
        Point(11, kUnit, 0, 0);
    }

    void Insert() {
        const bool mirrored = Percent(3);
        const BlockDef& block = Pick(kBlocks);
        const bool attributes = !mirrored && block.Name == "TREE" && Percent(60);
        const std::uint64_t handle = Begin("INSERT", block.Layer);
        Pair(100, "AcDbBlockReference");
        if (attributes)
            Int(66, 1);
        Pair(2, block.Name);
        const std::int64_t x = Mm(X()), y = Mm(Y()), z = Mm(Z());
        Point(10, mirrored ? -x : x, y, mirrored ? -z : z);
        if (Percent(30)) {
            const std::int64_t scale = Between(500'000, 3 * kUnit);
            Num(41, scale);
            Num(42, scale);
            Num(43, scale);
        }
        if (Percent(40))
            Num(50, Angle());
        if (Percent(2)) {  // an array insert: still one record
            Int(70, 3);
            Int(71, 2);
            Num(44, 2 * kUnit);
            Num(45, 2 * kUnit);
        }
        if (mirrored)
            Mirrored();
        if (!attributes)
            return;
        Begin("ATTRIB", block.Layer, handle, NewHandle());
        Pair(100, "AcDbText");
        Point(10, x + 600'000, y, z);
        Num(40, 250'000);
        Pair(1, Pick(kWords));
        Pair(100, "AcDbAttribute");
        Pair(2, "SPECIES");
        Int(70, 0);
        SeqEnd(handle, block.Layer);
    }

    void Spline() {
        Begin("SPLINE", LayerOf({"ROAD_EDGE", "DRAINAGE", "CONTOURS_MAJ"}));
        Pair(100, "AcDbSpline");
        Num(210, 0);
        Num(220, 0);
        Num(230, kUnit);
        const bool fitted = Percent(40);
        const std::int64_t controls = Between(4, 12);
        const std::int64_t fits = fitted ? controls - 2 : 0;
        Int(70, fitted ? 1064 : 8);
        Int(71, 3);
        Int(72, controls + 4);
        Int(73, controls);
        Int(74, fits);
        Num(42, 1);  // knot tolerance 0.000001
        Num(43, 1);
        if (fitted) {
            Num(44, 1);
            Point(12, kUnit, 0, 0);
            Point(13, 0, kUnit, 0);
        }
        for (std::int64_t k = 0; k < controls + 4; ++k) {
            const std::int64_t inner = k < 4 ? 0 : k >= controls ? controls - 3 : k - 3;
            Num(40, inner * 10 * kUnit);
        }
        const std::int64_t z = Z();
        std::int64_t x = X(), y = Y();
        const std::int64_t x0 = x, y0 = y;
        for (std::int64_t i = 0; i < controls; ++i) {
            Point(10, x, y, z);
            x += Step();
            y += Step();
        }
        x = x0;
        y = y0;
        for (std::int64_t i = 0; i < fits; ++i) {
            Point(11, x, y, z);
            x += Step();
            y += Step();
        }
    }

    void Face3d() {
        Begin("3DFACE", LayerOf({"BUILDINGS", "CONTOURS_MIN"}));
        Pair(100, "AcDbFace");
        const std::int64_t x = X(), y = Y(), z = Z();
        std::array<std::array<std::int64_t, 3>, 4> c{};
        for (auto& corner : c)
            corner = {x + Step(), y + Step(), z + Below(3 * kUnit)};
        if (Percent(25))
            c[3] = c[2];  // a triangle repeats its third corner
        for (int i = 0; i < 4; ++i)
            Point(10 + i, c[std::size_t(i)][0], c[std::size_t(i)][1], c[std::size_t(i)][2]);
        if (Percent(10))
            Int(70, 0);
    }

    // A kind without a reader: the scan reads through it line by line.
    void Hatch() {
        Begin("HATCH", LayerOf({"BUILDINGS", "BOUNDARY"}));
        Pair(100, "AcDbHatch");
        Point(10, 0, 0, 0);
        Num(210, 0);
        Num(220, 0);
        Num(230, kUnit);
        Pair(2, "SOLID");
        Int(70, 1);
        Int(71, 0);
        Int(91, 1);
        Int(92, 2);
        Int(72, 0);
        Int(73, 1);
        const std::int64_t count = Between(3, 12);
        Int(93, count);
        std::int64_t x = X(), y = Y();
        for (std::int64_t i = 0; i < count; ++i) {
            Num(10, x);
            Num(20, y);
            x += Step();
            y += Step();
        }
        Int(97, 0);
        Int(75, 0);
        Int(76, 1);
        Int(98, 0);
    }

    const DrawingOptions& options_;
    const DrawingSink& sink_;
    std::uint64_t state_;
    std::string_view eol_;
    std::string buffer_;
    std::uint64_t written_ = 0;
    bool ok_ = true;
    std::uint64_t handle_ = kFirstHandle;
    std::array<std::uint64_t, kBlocks.size()> blockRecords_{};
};

}  // namespace

bool GenerateDrawing(const DrawingOptions& options, const DrawingSink& sink) {
    return Generator(options, sink).Run();
}

}  // namespace quarrow::bench
