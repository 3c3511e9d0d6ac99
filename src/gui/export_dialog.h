#pragma once
// The export dialog of the File menu: the format (SWF, animated GIF or WebP,
// MP4 or WebM video, PNG frames, the HTML5 page), the scale, a size budget, looping and, for
// SWF, the compact frame removals.
#include <QDialog>

#include "exporters/exporters.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QSpinBox;

namespace gui {

enum class TExportFormat { Swf, Gif, WebP, Mp4, WebM, PngFrames, Html5 };

struct TExportChoice {
  TExportFormat Format = TExportFormat::Gif;
  exporters::TAnimationOptions Options;
  bool Compact = false;
};

// The file name extension and save-dialog filter of a format ("" for PNG
// frames, which go into a folder).
const char* FormatExtension(TExportFormat format);
const char* FormatFilter(TExportFormat format);
// The name the dialog lists a format by ("Animated GIF").
const char* FormatCaption(TExportFormat format);

class TExportDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TExportDialog(QWidget* parent = nullptr);
  // Opens with the project's loop setting; false when cancelled.
  bool Execute(bool projectLoops, TExportChoice& choice);

 private:
  void FormatChanged();

  QComboBox* format_;
  QDoubleSpinBox* scale_;
  QSpinBox* budget_;
  QCheckBox* loop_;
  QCheckBox* compact_;
};

}  // namespace gui
