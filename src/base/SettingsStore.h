#pragma once

#include <string>

/// Where the program settings are kept: named text values, read and written one at a time.
/// Reading a missing value gives the empty text; failures are silent, as the defaults cover them.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    /// The stored text of the value, or the empty text.
    virtual std::string ReadSetting(const std::string& name) = 0;
    /// Stores the text under the name, creating the value when needed.
    virtual void WriteSetting(const std::string& name, const std::string& value) = 0;
    /// Removes the value.
    virtual void DeleteSetting(const std::string& name) = 0;
};
