#pragma once

#include "base/SettingsStore.h"

#include <QSettings>
#include <filesystem>

/// The program settings in settings.ini in the data folder, every value a string, kept whole.
class QtSettingsStore final : public SettingsStore
{
public:
    explicit QtSettingsStore(const std::filesystem::path& file);
    Q_DISABLE_COPY_MOVE(QtSettingsStore)

    std::string ReadSetting(const std::string& name) override;
    void WriteSetting(const std::string& name, const std::string& value) override;
    void DeleteSetting(const std::string& name) override;

    /// Writes pending changes now (QSettings replaces the file through a temporary file).
    void sync();

private:
    QSettings m_settings;
};
