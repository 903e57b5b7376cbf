#include "engine/ScanReasons.h"

namespace quarrow {

std::string NotValidDxfText(NotValidReason reason, std::int64_t line) {
    std::string text = "this is not a valid DXF file (";
    switch (reason) {
    case NotValidReason::NoEntitiesSection: text += "it has no ENTITIES section"; break;
    case NotValidReason::CutShort:
        text += "it ends inside its ENTITIES section: the file is cut short";
        break;
    case NotValidReason::CutBeforeEntities:
        text += "it ends before its ENTITIES section: the file is cut short";
        break;
    case NotValidReason::DwgDrawing: text += "it is a DWG drawing: save it as DXF"; break;
    case NotValidReason::BinaryDxf:
        text += "it is a binary DXF file, which is not read yet: save it as ASCII DXF";
        break;
    case NotValidReason::BadGroupCode:
        text += "line " + std::to_string(line) + " is not a group code";
        break;
    }
    text += ')';
    return text;
}

bool ReasonOfFirstBytes(std::string_view bytes, NotValidReason& reason) noexcept {
    // The version strings DWG files open with: AC1001 to AC1032 and the early AC1.40, AC1.50,
    // AC2.10.
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    const std::string_view six = bytes.substr(0, 6);
    if ((six.size() == 6 && six.substr(0, 4) == "AC10" && digit(six[4]) && digit(six[5])) ||
        six == "AC1.50" || six == "AC2.10" || six == "AC1.40") {
        reason = NotValidReason::DwgDrawing;
        return true;
    }
    // "AutoCAD Binary DXF" CR LF, byte 26, byte 0: the byte 26 ends an ASCII reading of it.
    if (bytes.substr(0, 18) == "AutoCAD Binary DXF") {
        reason = NotValidReason::BinaryDxf;
        return true;
    }
    return false;
}

std::string QuotedValuesWarningText(std::uint32_t records) {
    return std::to_string(records) +
           " records hold the field separator, a line break or a leading quote inside a value: "
           "those values are quoted";
}

}  // namespace quarrow
