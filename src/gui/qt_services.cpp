#include "gui/qt_services.h"

#include <QClipboard>
#include <QGuiApplication>

namespace gui {

namespace {

// No clipboard without a GUI application (the headless commands).
QClipboard* Clipboard() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                      : nullptr;
}

}  // namespace

std::string TQtClipboard::Text() {
  QClipboard* clipboard = Clipboard();
  return clipboard ? clipboard->text().toStdString() : std::string();
}

void TQtClipboard::SetText(const std::string& text) {
  QClipboard* clipboard = Clipboard();
  if (!clipboard) return;
  clipboard->clear();
  clipboard->setText(QString::fromUtf8(text));
}

TQtSettingsStore::TQtSettingsStore() : settings_("Orrindale", "Vellumet") {}

TQtSettingsStore::TQtSettingsStore(const QString& iniPath)
    : settings_(iniPath, QSettings::IniFormat) {}

// A store that cannot be read back as written (no access, a damaged file)
// is left alone: nothing is read from it and nothing overwrites it.
bool TQtSettingsStore::OpenKey(bool create) {
  settings_.sync();
  if (settings_.status() != QSettings::NoError || !settings_.isWritable()) return false;
  return create || !settings_.allKeys().isEmpty();
}

std::optional<std::string> TQtSettingsStore::Read(const std::string& name) {
  const QString key = QString::fromUtf8(name);
  if (!settings_.contains(key)) return std::nullopt;
  const QVariant value = settings_.value(key);
  // A hand-edited INI value with unquoted commas comes back as a list.
  if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(',').toStdString();
  return value.toString().toStdString();
}

void TQtSettingsStore::Write(const std::string& name, const std::string& value) {
  if (settings_.status() != QSettings::NoError) return;
  settings_.setValue(QString::fromUtf8(name), QString::fromUtf8(value));
  settings_.sync();
}

}  // namespace gui
