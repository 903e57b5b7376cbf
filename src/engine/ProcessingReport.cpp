#include "engine/ProcessingReport.h"

namespace quarrow {

std::string ProcessingReport::LogText() const {
    std::size_t size = 0;
    for (const auto& line : Lines)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : Lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

}  // namespace quarrow
