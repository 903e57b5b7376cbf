#pragma once
// The twelve entity readers. Each is called right after the scan read the entity's type (the
// value of its code-0 pair) and returns right after the code line "0" that ends the entity, or
// at the end of the input; a POLYLINE returns after the pair (0, SEQEND), or after the code-0
// pair of whatever follows it without one (ctx.End says which). A paper-space entity is read
// through and leaves nothing. Each returns false when the run must end (ctx.Error then holds
// the message); a code line that is no group code ends the reading as the end of the input
// does, with ctx.InvalidCodeLine set.

#include <cstdint>
#include <string_view>

#include "detail/ScanContext.h"

namespace quarrow {

[[nodiscard]] bool ReadPoint(ScanContext& ctx);
[[nodiscard]] bool ReadCircle(ScanContext& ctx);
[[nodiscard]] bool ReadEllipse(ScanContext& ctx);
[[nodiscard]] bool ReadText(ScanContext& ctx);
[[nodiscard]] bool ReadMText(ScanContext& ctx);
[[nodiscard]] bool ReadLineEntity(ScanContext& ctx);
[[nodiscard]] bool ReadArc(ScanContext& ctx);
[[nodiscard]] bool Read3DFace(ScanContext& ctx);
[[nodiscard]] bool ReadLwPolyline(ScanContext& ctx);
[[nodiscard]] bool ReadPolyline(ScanContext& ctx);
[[nodiscard]] bool ReadSpline(ScanContext& ctx);
[[nodiscard]] bool ReadInsert(ScanContext& ctx);

}  // namespace quarrow
