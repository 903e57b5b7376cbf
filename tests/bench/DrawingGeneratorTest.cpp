#include "DrawingGenerator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "support/Digest.h"
#include "support/TempDir.h"

namespace quarrow::bench {
namespace {

std::string Generate(std::uint64_t bytes, std::uint64_t seed, bool crlf) {
    std::string out;
    DrawingOptions options;
    options.TargetBytes = bytes;
    options.Seed = seed;
    options.CrLf = crlf;
    EXPECT_TRUE(GenerateDrawing(options, [&](std::string_view block) {
        out += block;
        return true;
    }));
    return out;
}

using test::Fnv1a64;
using test::Hex;

// Benchmarks compare runs over months: the same seed must keep giving the same drawing. A
// change of these digests is a change of the benchmark input and needs a reason.
struct DigestCase {
    const char* name;
    std::uint64_t bytes;
    std::uint64_t seed;
    bool crlf;
    const char* digest;
};
const DigestCase kDigestCases[] = {
    {"Seed1CrLf", 200'000, 1, true, "29e1e320d0842649"},
    {"Seed1Lf", 200'000, 1, false, "cc3620f80132f515"},
    {"Seed42CrLf", 50'000, 42, true, "ab2e6c910325cfb1"},
};

TEST(DrawingGeneratorTest, SameSeedGivesTheSameBytesAndTheKnownDigest) {
    for (const auto& c : kDigestCases) {
        SCOPED_TRACE(c.name);
        const std::string first = Generate(c.bytes, c.seed, c.crlf);
        EXPECT_TRUE(first == Generate(c.bytes, c.seed, c.crlf));
        EXPECT_EQ(Hex(Fnv1a64(first)), c.digest);
        EXPECT_GE(first.size(), c.bytes);
        EXPECT_LT(first.size(), c.bytes + 16 * 1024);  // ends with the entity that passed it
    }
    EXPECT_FALSE(Generate(50'000, 1, true) == Generate(50'000, 2, true));
}

// The size counts the bytes written, so CR LF drawings hold fewer entities; up to where the
// CR LF drawing closes its entities, both carry the same pairs.
TEST(DrawingGeneratorTest, LineEndsAreTheOnlyDifferenceBetweenLfAndCrLf) {
    const std::string crlf = Generate(300'000, 7, true);
    const std::string lf = Generate(300'000, 7, false);
    std::string stripped;
    for (char c : crlf)
        if (c != '\r')
            stripped += c;
    EXPECT_EQ(lf.find('\r'), std::string::npos);
    // Every line feed has its carriage return, and no carriage return stands elsewhere.
    std::size_t bareLineFeeds = 0;
    for (std::size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 1))
        bareLineFeeds += (at == 0 || crlf[at - 1] != '\r') ? 1 : 0;
    EXPECT_EQ(bareLineFeeds, 0u);
    EXPECT_EQ(std::count(crlf.begin(), crlf.end(), '\r'),
              std::count(crlf.begin(), crlf.end(), '\n'));
    const std::size_t entitiesEnd = stripped.find("  0\nENDSEC\n  0\nSECTION\n  2\nOBJECTS");
    ASSERT_NE(entitiesEnd, std::string::npos);
    EXPECT_TRUE(lf.compare(0, entitiesEnd, stripped, 0, entitiesEnd) == 0);
}

// The drawing must take every road through the readers: each type with its sub-forms, the
// mirrored extrusion on every kind that transforms, all vertex flags the POLYLINE reader tests.
TEST(DrawingGeneratorTest, DrawingExercisesEveryReaderPath) {
    const std::string dxf = Generate(1'000'000, 1, false);
    ASSERT_GE(dxf.size(), 10u);
    EXPECT_EQ(dxf.substr(0, 12), "  0\nSECTION\n");
    EXPECT_EQ(dxf.substr(dxf.size() - 8), "  0\nEOF\n");

    std::map<std::string, int> types;     // entity types after ENTITIES
    std::set<std::string> mirrored;       // types seen with extrusion (0, 0, -1)
    std::set<std::string> polylineFlags;  // POLYLINE header group 70
    std::set<std::string> vertexFlags;    // VERTEX group 70
    std::set<std::string> codesSeen;      // "TYPE:code"
    bool inEntities = false;
    std::string type;
    std::size_t at = 0;
    int pairs = 0;
    int attributedInserts = 0;
    while (at < dxf.size()) {
        const std::size_t codeEnd = dxf.find('\n', at);
        const std::size_t valueEnd = dxf.find('\n', codeEnd + 1);
        ASSERT_NE(valueEnd, std::string::npos) << "odd number of lines";
        const std::string code = dxf.substr(at, codeEnd - at);
        const std::string value = dxf.substr(codeEnd + 1, valueEnd - codeEnd - 1);
        at = valueEnd + 1;
        ++pairs;
        // Codes are right-aligned in three columns, longer codes stand as they are.
        ASSERT_GE(code.size(), 3u) << "pair " << pairs;
        const std::size_t digits = code.find_first_not_of(' ');
        ASSERT_NE(digits, std::string::npos);
        ASSERT_TRUE(code.size() == 3 || digits == 0) << code;
        ASSERT_EQ(code.find_first_not_of("0123456789", digits), std::string::npos) << code;
        const std::string trimmed = code.substr(digits);
        if (trimmed == "0") {
            type = value;
            if (inEntities && value != "ENDSEC")
                ++types[value];
            if (value == "ENDSEC")
                inEntities = false;
            continue;
        }
        if (trimmed == "2" && value == "ENTITIES")
            inEntities = true;
        if (!inEntities)
            continue;
        codesSeen.insert(type + ":" + trimmed);
        if (trimmed == "230" && value == "-1.0")
            mirrored.insert(type);
        if (trimmed == "66" && type == "INSERT")
            ++attributedInserts;
        if (trimmed == "70" && type == "POLYLINE")
            polylineFlags.insert(value);
        if (trimmed == "70" && type == "VERTEX")
            vertexFlags.insert(value);
        // Coordinates are survey-sized and written without a locale.
        if (trimmed == "10" && type == "POINT") {
            EXPECT_EQ(value.find(','), std::string::npos) << value;
            EXPECT_EQ(value.substr(0, 2), "50") << value;
        }
    }

    for (const char* kind :
         {"POINT", "LINE", "LWPOLYLINE", "POLYLINE", "VERTEX", "SEQEND", "CIRCLE", "ARC", "ELLIPSE",
          "TEXT", "MTEXT", "INSERT", "ATTRIB", "SPLINE", "3DFACE", "HATCH"})
        EXPECT_GT(types[kind], 0) << kind;
    // Every POLYLINE and every INSERT followed by attributes closes with its own SEQEND.
    EXPECT_EQ(types["SEQEND"], types["POLYLINE"] + attributedInserts);
    for (const char* kind : {"CIRCLE", "ARC", "TEXT", "LWPOLYLINE", "INSERT", "POLYLINE"})
        EXPECT_TRUE(mirrored.count(kind)) << kind;
    for (const char* flags : {"0", "1", "2", "3", "4", "5", "8", "9", "12", "13", "16", "64"})
        EXPECT_TRUE(polylineFlags.count(flags)) << "polyline flags " << flags;
    for (const char* flags : {"0", "1", "8", "16", "32", "40", "48", "64", "128", "192"})
        EXPECT_TRUE(vertexFlags.count(flags)) << "vertex flags " << flags;
    for (const char* code :
         {"LWPOLYLINE:38", "LWPOLYLINE:42", "POLYLINE:30", "MTEXT:3", "MTEXT:1", "TEXT:11",
          "SPLINE:11", "SPLINE:31", "3DFACE:13", "3DFACE:33", "ARC:50", "ARC:51", "INSERT:2",
          "INSERT:41", "INSERT:71", "ELLIPSE:210"})
        EXPECT_TRUE(codesSeen.count(code)) << code;
}

// The command-line tool writes exactly what the library generates.
TEST(DrawingGeneratorTest, ToolWritesTheGeneratedBytes) {
    test::TempDir dir;
    const std::string out = dir / "drawing.dxf";
    const std::string command =
        std::string("\"") + QUARROW_BENCH_GEN + "\" --size-mb 0.2 --seed 1 --out \"" + out + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(test::ReadFileBytes(out) == Generate(200'000, 1, true));
    ASSERT_EQ(std::system((command + " --lf").c_str()), 0);
    EXPECT_TRUE(test::ReadFileBytes(out) == Generate(200'000, 1, false));
    EXPECT_NE(std::system((command + " --size-mb 0").c_str()), 0);
}

}  // namespace
}  // namespace quarrow::bench
