#include "Settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QVariant>

#include "NativeText.h"

namespace drovana {

QString ApplicationNameFor(const QString& executablePath) {
    return QFileInfo(executablePath).completeBaseName();
}

void SetSettingsRoot(const QString& root, const QString& executablePath) {
    QCoreApplication::setOrganizationName(root);
    // Qt's own default keeps every extension on Linux and drops all of them
    // after the first dot on Windows; one rule for both.
    QCoreApplication::setApplicationName(ApplicationNameFor(executablePath));
}

QString GetProfileString(const QString& section, const QString& entry,
                         const QString& defaultValue) {
    QSettings settings;
    settings.beginGroup(section);
    const QVariant value = settings.value(entry, defaultValue);
    if (value.typeId() == QMetaType::QByteArray) {
        return FromNative(value.toByteArray().toStdString());
    }
    return value.toString();
}

int GetProfileInt(const QString& section, const QString& entry, int defaultValue) {
    QSettings settings;
    settings.beginGroup(section);
    bool isNumber = false;
    const int value = settings.value(entry).toInt(&isNumber);
    return isNumber ? value : defaultValue;
}

void WriteProfileString(const QString& section, const QString& entry, const QString& value) {
    QSettings settings;
    settings.beginGroup(section);
    if (value.isValidUtf16()) {
        settings.setValue(entry, value);
    } else {
        settings.setValue(entry, QByteArray::fromStdString(ToNative(value)));
    }
}

void WriteProfileInt(const QString& section, const QString& entry, int value) {
    QSettings settings;
    settings.beginGroup(section);
    settings.setValue(entry, value);
}

}  // namespace drovana
