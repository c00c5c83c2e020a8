#include "ChannelSettingsStore.h"

#include <QSettings>
#include <QStandardPaths>

namespace tavolex {

namespace {

// "pt100-1" or "channel-5": stable whatever the order of the lists.
QString GroupOf(int channel) {
    if (channel < kPt100Channels) return QStringLiteral("pt100-%1").arg(channel + 1);
    return QStringLiteral("channel-%1").arg(channel - kPt100Channels + 1);
}

std::optional<int> LimitFrom(const QSettings& store, const QString& key) {
    return ParseLimit(store.value(key).toString().toStdString()).tenths;
}

}  // namespace

QString ChannelSettingsFile() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tavolex/channels.ini");
}

ChannelSettings LoadChannelSettings(const QString& file) {
    const QSettings store(file, QSettings::IniFormat);
    ChannelSettings settings;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const QString group = GroupOf(channel) + QLatin1Char('/');
        ChannelSetting& setting = settings[channel];
        setting.name = store.value(group + QStringLiteral("name")).toString().toStdString();
        setting.limits.lowTenths = LimitFrom(store, group + QStringLiteral("low"));
        setting.limits.highTenths = LimitFrom(store, group + QStringLiteral("high"));
    }
    return settings;
}

bool SaveChannelSettings(const QString& file, const ChannelSettings& settings) {
    QSettings store(file, QSettings::IniFormat);
    store.clear();
    for (int channel = 0; channel < kChannelCount; ++channel) {
        const ChannelSetting& setting = settings[channel];
        if (setting == ChannelSetting{}) continue;
        store.beginGroup(GroupOf(channel));
        store.setValue(QStringLiteral("name"), QString::fromStdString(setting.name));
        store.setValue(QStringLiteral("low"),
                       QString::fromStdString(LimitText(setting.limits.lowTenths)));
        store.setValue(QStringLiteral("high"),
                       QString::fromStdString(LimitText(setting.limits.highTenths)));
        store.endGroup();
    }
    store.sync();
    return store.status() == QSettings::NoError;
}

}  // namespace tavolex
