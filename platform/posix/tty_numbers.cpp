#include "platform/posix/tty_numbers.h"

#include <algorithm>

namespace Platform {

std::vector<NumberedTty> CTtyNumbers::Update(std::vector<SystemTty> ttys)
{
    std::sort(ttys.begin(), ttys.end(), [](const SystemTty& a, const SystemTty& b) { return a.strName < b.strName; });
    m_present.clear();
    for (SystemTty& tty : ttys) {
        auto it = m_numbers.find(tty.strName);
        if (it == m_numbers.end()) {
            if (m_nNext > m_nLastPort) {
                continue;
            }
            it = m_numbers.emplace(tty.strName, m_nNext++).first;
        }
        m_present.push_back({it->second, std::move(tty)});
    }
    std::sort(m_present.begin(), m_present.end(),
              [](const NumberedTty& a, const NumberedTty& b) { return a.nPort < b.nPort; });
    return m_present;
}

std::string CTtyNumbers::NameOf(int nPort) const
{
    for (const NumberedTty& entry : m_present) {
        if (entry.nPort == nPort) {
            return entry.tty.strName;
        }
    }
    return {};
}

}  // namespace Platform
