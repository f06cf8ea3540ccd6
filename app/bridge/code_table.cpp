#include "app/bridge/code_table.h"

namespace zaprelay::bridge {

const std::vector<std::string>& TCodeTable::Rows(const std::string& section, int rowCount) {
    TSettingsVersion version = m_store.Version();
    if (!(version == m_version) || section != m_section) {
        m_codes.clear();
        m_section = section;
        m_version = version;
    }
    for (int row = static_cast<int>(m_codes.size()); row < rowCount; ++row) {
        m_codes.push_back(m_store.ReadString(section, std::to_string(row), ""));
    }
    return m_codes;
}

int TCodeTable::FindFirst(const std::string& section, int rowCount, const std::string& code) {
    const std::vector<std::string>& codes = Rows(section, rowCount);
    for (int row = 0; row < rowCount; ++row) {
        if (codes[row] == code) {
            return row;
        }
    }
    return -1;
}

int TCodeTable::FindLast(const std::string& section, int rowCount, const std::string& code) {
    const std::vector<std::string>& codes = Rows(section, rowCount);
    for (int row = rowCount - 1; row >= 0; --row) {
        if (codes[row] == code) {
            return row;
        }
    }
    return -1;
}

std::string TCodeTable::Code(const std::string& section, int row) {
    return row < 0 ? std::string() : Rows(section, row + 1)[row];
}

}  // namespace zaprelay::bridge
