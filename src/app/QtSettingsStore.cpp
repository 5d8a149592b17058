#include "app/QtSettingsStore.h"

#include <QFile>
#include <QStringList>

QtSettingsStore::QtSettingsStore(const std::filesystem::path& file)
    : m_settings(QString::fromStdString(file.string()), QSettings::IniFormat)
{
}

std::string QtSettingsStore::ReadSetting(const std::string& name)
{
    const QVariant value = m_settings.value(QString::fromStdString(name));
    // A hand-written value with commas and no quotes reads as a list; it was meant as one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(',')).toStdString();
    return value.toString().toStdString();
}

void QtSettingsStore::WriteSetting(const std::string& name, const std::string& value)
{
    m_settings.setValue(QString::fromStdString(name), QString::fromStdString(value));
}

void QtSettingsStore::DeleteSetting(const std::string& name)
{
    m_settings.remove(QString::fromStdString(name));
}

void QtSettingsStore::sync()
{
    m_settings.sync();
    // The settings are the user's alone, like every file of the data folder.
    QFile::setPermissions(m_settings.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
