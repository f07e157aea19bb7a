#include "engine/ProgressMailbox.h"

#include <utility>

namespace tessel {

void ProgressMailbox::PushDriverLine(std::string line) {
    const std::lock_guard lock(m_mutex);
    if (!m_closed) {
        m_driverLines.push_back(std::move(line));
    }
}

std::optional<std::string> ProgressMailbox::TakeDriverLine() {
    const std::lock_guard lock(m_mutex);
    if (m_driverLines.empty()) {
        return std::nullopt;
    }
    std::string line = std::move(m_driverLines.front());
    m_driverLines.pop_front();
    return line;
}

void ProgressMailbox::Close() {
    const std::lock_guard lock(m_mutex);
    m_closed = true;
    m_driverLines.clear();
}

bool ProgressMailbox::IsClosed() const {
    const std::lock_guard lock(m_mutex);
    return m_closed;
}

bool ProgressMailbox::TakeIfOpen(const std::function<void()>& take) {
    const std::lock_guard lock(m_mutex);
    if (m_closed) {
        return false;
    }
    take();
    return true;
}

}  // namespace tessel
