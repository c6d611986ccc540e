// The per-user settings store (~/.config/OVT.conf): the one place that opens it.
#include "settings/SettingsStore.h"

namespace darv {

namespace {

QString keyText(SettingsStore::Key key)
{
    switch (key) {
    case SettingsStore::Key::InstallLocation:
        return QStringLiteral("DARV2007/Install_Location");
    case SettingsStore::Key::SimilarWindowGeometry:
        return QStringLiteral("SimilarDrawings/geometry");
    case SettingsStore::Key::SimilarStore:
        return QStringLiteral("SimilarDrawings/store");
    case SettingsStore::Key::SimilarStoreAddress:
        return QStringLiteral("SimilarDrawings/server");
    }
    return {};
}

} // namespace

SettingsStore::SettingsStore() : m_store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("OVT")) {}

QVariant SettingsStore::get(Key key) const
{
    return m_store.value(keyText(key));
}

bool SettingsStore::set(Key key, const QVariant& value)
{
    m_store.setValue(keyText(key), value);
    m_store.sync();
    return m_store.status() == QSettings::NoError;
}

QString SettingsStore::fileName() const
{
    return m_store.fileName();
}

} // namespace darv
