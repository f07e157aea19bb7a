#include "silent/DriverLineSplitter.h"

namespace tessel {

std::vector<std::string> DriverLineSplitter::Feed(std::string_view chunk) {
    std::vector<std::string> lines;
    while (!chunk.empty()) {
        const size_t end = chunk.find('\n');
        const std::string_view piece = chunk.substr(0, end);
        if (!m_discarding) {
            m_pending.append(piece);
            if (m_pending.size() > kMaxLineLength) {
                m_pending.clear();
                m_discarding = true;
            }
        }
        if (end == std::string_view::npos) {
            break;
        }
        if (!m_discarding) {
            if (!m_pending.empty() && m_pending.back() == '\r') {
                m_pending.pop_back();
            }
            lines.push_back(std::move(m_pending));
        }
        m_pending.clear();
        m_discarding = false;
        chunk.remove_prefix(end + 1);
    }
    return lines;
}

DriverLine ClassifyDriverLine(std::string_view line) {
    DriverLine result;
    if (const size_t at = line.find("v:"); at != std::string_view::npos) {
        result.kind = DriverLine::Kind::Progress;
        result.progress = line.substr(at);
    } else if (line == "downloaded") {
        result.kind = DriverLine::Kind::Downloaded;
    } else if (line == "done") {
        result.kind = DriverLine::Kind::Done;
    }
    return result;
}

}  // namespace tessel
