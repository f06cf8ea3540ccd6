// The learned codes of one viewer's code section, row by row. Reading the settings file once
// per row for every received code costs more than starting the viewer, so the rows read are
// kept until the store's version changes.
#pragma once

#include "app/bridge/settings_store.h"

#include <string>
#include <vector>

namespace zaprelay::bridge {

class TCodeTable {
public:
    explicit TCodeTable(TSettingsStore& store) : m_store(store) {}

    // The first and the last of rows 0..rowCount-1 whose code equals `code` exactly; -1 if none.
    int FindFirst(const std::string& section, int rowCount, const std::string& code);
    int FindLast(const std::string& section, int rowCount, const std::string& code);
    // The code of one row; empty when none is stored.
    std::string Code(const std::string& section, int row);

private:
    const std::vector<std::string>& Rows(const std::string& section, int rowCount);

    TSettingsStore& m_store;
    std::string m_section;
    TSettingsVersion m_version;
    std::vector<std::string> m_codes;  // rows 0..size-1 as last read
};

}  // namespace zaprelay::bridge
