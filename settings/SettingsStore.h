// The per-user settings store (~/.config/OVT.conf): the one place that opens it. Keys are named by an
// enum, so a key's text and group are written once; the core never reads settings, it is handed values.
#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

namespace darv {

class SettingsStore
{
public:
    enum class Key {
        InstallLocation,       // [DARV2007] Install_Location: the data folder
        SimilarWindowGeometry, // [SimilarDrawings] geometry: the Similar Drawings window's size
        SimilarStore,          // [SimilarDrawings] store: 0 this computer's evidence store, 1 the department server's
        SimilarStoreAddress,   // [SimilarDrawings] server: the department server's address (never with a password)
    };

    SettingsStore();

    QVariant get(Key key) const;
    // Sets the value and writes the store through; false when the store cannot be written.
    bool set(Key key, const QVariant& value);
    // The store's file, for messages.
    QString fileName() const;

private:
    QSettings m_store;
};

} // namespace darv
