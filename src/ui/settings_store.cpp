#include "ui/settings_store.h"

#include <QCoreApplication>
#include <QSettings>
#include <QStringList>

#include "compare/run/option_texts.h"

namespace quintrel {

namespace {

constexpr char kOrganisation[] = "Vantle";

QString ReadString(QSettings& settings, const QString& key, const QString& fallback) {
  const QVariant value = settings.value(key);
  if (!value.isValid()) return fallback;
  // A hand-written text file may hold a bare comma, which the file format reads as a list.
  if (value.userType() == QMetaType::QStringList) return value.toStringList().join(u',');
  return value.canConvert<QString>() ? value.toString() : fallback;
}

bool ReadFlag(QSettings& settings, const QString& key) {
  return ReadString(settings, key, QString()) == QLatin1String("1");
}

// The run options; each text the rules refuse counts as missing.
MeasureOptions ReadMeasureOptions(QSettings& settings) {
  MeasureOptions options;
  const QString extensions = ReadString(settings, QStringLiteral("Extensions"), QString());
  if (ParseExtensionList(extensions.toStdString())) options.extensions = extensions;
  const QString excluded = ReadString(settings, QStringLiteral("ExcludeDirs"), QString());
  if (ParseExcludedFolderList(excluded.toStdString())) options.excludeDirs = excluded;
  const QString percent = ReadString(settings, QStringLiteral("Renames"), QString());
  options.renamePercent = ParseRenamePercent(percent.toStdString()).value_or(0);
  return options;
}

QString FlagText(bool on) {
  return on ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

std::unique_ptr<QSettings> OpenUserSettings() {
  return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                     QLatin1String(kOrganisation),
                                     QCoreApplication::applicationName());
}

StoredSettings LoadSettings(QSettings& settings, const QString& windowInfoDefault) {
  settings.beginGroup(QStringLiteral("Settings"));
  StoredSettings values;
  values.oldFolder = ReadString(settings, QStringLiteral("OldFolder"), QString());
  values.newFolder = ReadString(settings, QStringLiteral("NewFolder"), QString());
  values.windowInfo = ReadString(settings, QStringLiteral("WindowInfo"), windowInfoDefault);
  values.recursive = ReadFlag(settings, QStringLiteral("Recursive"));
  values.ignoreFormat = ReadFlag(settings, QStringLiteral("IgnoreFormat"));
  values.options = ReadMeasureOptions(settings);
  settings.endGroup();
  return values;
}

void SaveSettings(QSettings& settings, const StoredSettings& values) {
  settings.beginGroup(QStringLiteral("Settings"));
  settings.setValue(QStringLiteral("OldFolder"), values.oldFolder);
  settings.setValue(QStringLiteral("NewFolder"), values.newFolder);
  settings.setValue(QStringLiteral("WindowInfo"), values.windowInfo);
  settings.setValue(QStringLiteral("Recursive"), FlagText(values.recursive));
  settings.setValue(QStringLiteral("IgnoreFormat"), FlagText(values.ignoreFormat));
  settings.setValue(QStringLiteral("Extensions"), values.options.extensions);
  settings.setValue(QStringLiteral("ExcludeDirs"), values.options.excludeDirs);
  settings.setValue(QStringLiteral("Renames"), QString::number(values.options.renamePercent));
  settings.endGroup();
  settings.sync();
}

}  // namespace quintrel
