#include "SettingsStore.h"

#include "Failure.h"

#include <QSettings>

#include <memory>

namespace lumarel {

namespace {

const QString kGroup = QStringLiteral("Lumarel");

std::unique_ptr<QSettings> openStore()
{
    auto settings = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                                QStringLiteral("Quenwick"));
    settings->beginGroup(kGroup);
    return settings;
}

} // namespace

QString SettingsStore::get(const QString& key, const QString& fallback)
{
    const QVariant value = openStore()->value(key);
    if (!value.isValid())
        return fallback;
    // A text with commas in it reads back as a list when the file was edited by hand.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

void SettingsStore::save(const QString& key, const QString& value)
{
    const auto settings = openStore();
    settings->setValue(key, value);
    settings->sync();
    if (settings->status() != QSettings::NoError)
        throw Failure(QStringLiteral("The settings file %1 could not be written.")
                          .arg(settings->fileName()));
}

QString SettingsStore::filePath()
{
    return openStore()->fileName();
}

QString SettingsStore::dateToText(const QDateTime& value)
{
    if (value.time() == QTime(0, 0))
        return value.date().toString(QStringLiteral("yyyy-MM-dd"));
    return value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QDateTime SettingsStore::textToDate(const QString& text)
{
    QDateTime value = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!value.isValid()) {
        const QDate date = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
        if (date.isValid())
            value = QDateTime(date, QTime(0, 0));
    }
    if (!value.isValid())
        throw Failure(QStringLiteral("Type mismatch"));
    return value;
}

} // namespace lumarel
