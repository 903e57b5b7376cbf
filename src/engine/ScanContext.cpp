#include "engine/ScanContext.h"

namespace quarrow {

bool FailConversion(ScanContext& ctx, std::string_view text, std::int64_t line,
                    std::string_view what, NumberKind kind) {
    std::string& m = ctx.Error;
    m = "Error in DXF file \"" + ctx.DxfPath + "\", line ";
    m += std::to_string(line > 0 ? line : line == 0 ? ctx.EntityLine : ctx.In.LineNumber());
    m += ": \"";
    m += text;
    m += kind == NumberKind::Integer ? "\" is not a valid integer value ("
                                     : "\" is not a valid floating point value (";
    m += what;
    if (line == 0)
        m += ", missing from the entity that starts at this line";
    m += ").";
    return false;
}

} // namespace quarrow
