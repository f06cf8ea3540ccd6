// An in-memory settings file for the bridge tests: counts reads, can refuse writes, and can be
// edited "by hand" the way a user edits the file while the program runs.
#pragma once

#include "app/bridge/settings_store.h"

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace zaprelay::bridge::fakes {

class TFakeSettingsStore : public TSettingsStore {
public:
    std::string ReadString(const std::string& section,
                           const std::string& key,
                           const std::string& defaultValue) override {
        ++Reads;
        auto it = Values.find({section, key});
        return it == Values.end() ? defaultValue : it->second;
    }

    void WriteString(const std::string& section, const std::string& key, const std::string& value) override {
        if (RefuseWrites) {
            throw std::runtime_error("Cannot write the settings file");
        }
        Values[{section, key}] = value;
        ++Writes;
    }

    TSettingsVersion Version() override { return {m_handEdits, Values.size(), Writes}; }

    // A change made outside this store: only the file's time tells it apart.
    void EditByHand(const std::string& section, const std::string& key, const std::string& value) {
        Values[{section, key}] = value;
        ++m_handEdits;
    }

    std::optional<std::string> Value(const std::string& section, const std::string& key) const {
        auto it = Values.find({section, key});
        return it == Values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }

    std::map<std::pair<std::string, std::string>, std::string> Values;
    int Reads = 0;
    uint64_t Writes = 0;
    bool RefuseWrites = false;

private:
    uint64_t m_handEdits = 0;
};

}  // namespace zaprelay::bridge::fakes
