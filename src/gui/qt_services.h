#pragma once
// The system clipboard and the user's settings for the editor.
#include <QSettings>
#include <QString>

#include "editor/interfaces.h"

namespace gui {

// The clipboard's plain text, UTF-8 on the editor's side.
class TQtClipboard : public editor::IClipboard {
 public:
  std::string Text() override;
  void SetText(const std::string& text) override;
};

// The settings as QSettings values with the editor's value names ("LastDir",
// "L", "MRUD1", ...). Each write reaches the disk at once, so a crash later
// keeps the recent-files list.
class TQtSettingsStore : public editor::ISettingsStore {
 public:
  // The user's settings: organisation "Orrindale", application "Vellumet".
  TQtSettingsStore();
  // An INI file of its own (tests use a temporary one).
  explicit TQtSettingsStore(const QString& iniPath);

  bool OpenKey(bool create) override;
  std::optional<std::string> Read(const std::string& name) override;
  void Write(const std::string& name, const std::string& value) override;

 private:
  QSettings settings_;
};

}  // namespace gui
