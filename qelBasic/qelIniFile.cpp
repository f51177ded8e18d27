#include "qelBasic/qelIniFile.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <cstdint>

#include "core/NumberText.h"

QString IniFileBeside(const QString& exeName)
{
    const QString fileName = QFileInfo(exeName).fileName();
    // A dot that starts the name (".brindle") begins no extension.
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString folderPart = exeName.left(exeName.size() - fileName.size());
    const QString base = dot > 0 ? fileName.left(dot) : fileName;
    return folderPart + base + QStringLiteral(".ini");
}

QString ReadIniString(const QSettings& ini, const QString& section, const QString& key, const QString& def)
{
    const QVariant value = ini.value(section + QLatin1Char('/') + key);
    if (!value.isValid()) return def;
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

int ReadIniInteger(const QSettings& ini, const QString& section, const QString& key, int def)
{
    const QString text = ReadIniString(ini, section, key, QString());
    std::int32_t value = 0;
    if (!TextToInt(text.toStdString(), value)) return def;
    return value;
}

void WriteIniString(const QString& fileName, const QString& section, const QString& key, const QString& value)
{
    QSettings ini(fileName, QSettings::IniFormat);
    ini.setValue(section + QLatin1Char('/') + key, value);
    ini.sync();
}
