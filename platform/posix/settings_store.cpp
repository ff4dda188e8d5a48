#include "platform/settings_store.h"

#include <QSettings>
#include <QString>
#include <QVariant>
#include <memory>
#include <stdexcept>

namespace vorlan {

namespace {

// The user's file (~/.config/Quenta/Vorlan.conf), read with a fall-back to the
// machine-wide one (/etc/xdg/Quenta/Vorlan.conf) and written to the user's.
// VORLAN_SETTINGS_DIR names one folder that takes the place of both. The
// native format is that ini file here (and the registry key on Windows).
std::unique_ptr<QSettings> OpenStore() {
    const QString folder = qEnvironmentVariable("VORLAN_SETTINGS_DIR");
    if (!folder.isEmpty()) {
        return std::make_unique<QSettings>(folder + QStringLiteral("/Quenta/Vorlan.conf"),
                                           QSettings::IniFormat);
    }
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("Quenta"), QStringLiteral("Vorlan"));
}

// The file that holds the value: with VORLAN_SETTINGS_DIR the one file, else
// the user's when it has the name, else the machine-wide one it fell back to.
QString FileHolding(const QSettings& store, const QString& key) {
    if (!qEnvironmentVariable("VORLAN_SETTINGS_DIR").isEmpty())
        return store.fileName();
    QSettings user(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quenta"),
                   QStringLiteral("Vorlan"));
    user.setFallbacksEnabled(false);
    if (user.contains(key))
        return user.fileName();
    return QSettings(QSettings::NativeFormat, QSettings::SystemScope, QStringLiteral("Quenta"),
                     QStringLiteral("Vorlan"))
        .fileName();
}

}  // namespace

std::string ReadSetting(const std::string& name) {
    const auto store = OpenStore();
    const QString key = QString::fromStdString(name);
    const QVariant value = store->value(key);
    if (!value.isValid())
        return {};
    // An ini file keeps plain text as text; anything written with a type of its
    // own (@Variant, @ByteArray, a list) is not a setting of ours. The file is
    // named, since the value may come from the machine-wide one.
    if (value.typeId() != QMetaType::QString) {
        throw std::runtime_error("Invalid data type for '" + name + "' in " +
                                 FileHolding(*store, key).toStdString());
    }
    std::string text = value.toString().toStdString();
    // Like a registry string, the value ends at its first zero byte.
    if (const auto zero = text.find('\0'); zero != std::string::npos)
        text.resize(zero);
    return text;
}

void WriteSetting(const std::string& name, const std::string& value) {
    const auto store = OpenStore();
    store->setValue(QString::fromStdString(name), QString::fromStdString(value));
    // A store that cannot be written stays as it was; nobody is told.
    store->sync();
}

}  // namespace vorlan
