#include "gui/recovery_dialog.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include "editor/movie_builder.h"
#include "platform/folders.h"
#include "player/renderer.h"
#include "player/swf_reader.h"
#include "project/document.h"

namespace gui {

namespace {

constexpr QSize kThumbnail(160, 90);

// Media of the copy unpack into a folder of their own, so that they never
// replace the open document's.
class TScratchFolder {
 public:
  TScratchFolder() : path_(platform::TempDir() + "thumbnail/") {
    std::filesystem::create_directories(path_);
  }
  ~TScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

QImage Framed(const QImage& frame, QSize box) {
  QImage out(box, QImage::Format_ARGB32_Premultiplied);
  out.fill(Qt::transparent);
  if (frame.isNull()) return out;
  QImage fitted = frame.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QPainter p(&out);
  p.drawImage((box.width() - fitted.width()) / 2, (box.height() - fitted.height()) / 2, fitted);
  return out;
}

}  // namespace

QImage ProjectThumbnail(const std::string& path, QSize box) {
  try {
    TScratchFolder scratch;
    project::IDocumentView quiet;
    project::TProjectDocument doc(quiet);
    doc.TempDir = scratch.Path();
    if (!doc.OpenMV(path)) return {};
    doc.CurrentFrame = 1;
    const std::vector<uint8_t> swf = editor::TMovieGenBuilder().BuildCurrentFrame(doc).Swf;
    doc.DeleteTempFiles();
    auto movie = std::make_shared<const player::TMovie>(player::ReadMovie(swf));
    return Framed(player::RenderFrame(movie, 0), box);
  } catch (const std::exception&) {
    return {};
  }
}

TRecoveryDialog::TRecoveryDialog(QWidget* parent, editor::TRecoveryOffer& offer)
    : QDialog(parent), offer_(offer) {
  setObjectName("frmRecovery");
  setWindowTitle("Recover Unsaved Work");
  auto* column = new QVBoxLayout(this);
  auto* info = new QLabel(
      "Vellumet ended without saving this work. Restore it, discard it, or decide later: "
      "the copies are kept until you do.");
  info->setWordWrap(true);
  column->addWidget(info);
  list_ = new QListWidget;
  list_->setObjectName("lstCopies");
  list_->setIconSize(kThumbnail);
  list_->setMinimumSize(520, 220);
  column->addWidget(list_, 1);
  auto* buttons = new QDialogButtonBox;
  restore_ = buttons->addButton("&Restore", QDialogButtonBox::AcceptRole);
  restore_->setObjectName("btnRestore");
  discard_ = buttons->addButton("&Discard", QDialogButtonBox::DestructiveRole);
  discard_->setObjectName("btnDiscard");
  QPushButton* later = buttons->addButton("Decide &Later", QDialogButtonBox::RejectRole);
  later->setObjectName("btnLater");
  column->addWidget(buttons);
  connect(restore_, &QPushButton::clicked, this, &TRecoveryDialog::RestoreClicked);
  connect(discard_, &QPushButton::clicked, this, &TRecoveryDialog::DiscardClicked);
  connect(later, &QPushButton::clicked, this, &QDialog::reject);
  connect(list_, &QListWidget::currentRowChanged, this, &TRecoveryDialog::ShowButtons);
  Fill();
}

void TRecoveryDialog::Fill() {
  list_->clear();
  const auto& copies = offer_.Copies();
  for (size_t row = 0; row < copies.size(); ++row) {
    const editor::TRecoveryCopy& c = copies[row];
    QString text = QString::fromStdString(offer_.Title(row)) + "\n" +
                   QString::fromStdString(offer_.Where(row));
    if (c.Info) {
      QString when = QDateTime::fromSecsSinceEpoch(c.Info->Time).toString("yyyy-MM-dd hh:mm:ss");
      text += "\n" + when + ", " + QString::number(c.Info->FrameCount) + " frame" +
              (c.Info->FrameCount == 1 ? "" : "s");
    }
    QImage picture = c.Readable() ? ProjectThumbnail(c.ProjectPath, kThumbnail) : QImage();
    auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(Framed(picture, kThumbnail))), text);
    item->setData(Qt::AccessibleTextRole, text);
    list_->addItem(item);
  }
  list_->setCurrentRow(0);
  ShowButtons();
}

void TRecoveryDialog::ShowButtons() {
  int row = list_->currentRow();
  restore_->setEnabled(row >= 0 && offer_.CanRestore(size_t(row)));
  discard_->setEnabled(row >= 0);
}

void TRecoveryDialog::RestoreClicked() {
  int row = list_->currentRow();
  if (row >= 0 && offer_.Restore(size_t(row))) accept();
}

void TRecoveryDialog::DiscardClicked() {
  int row = list_->currentRow();
  if (row < 0) return;
  offer_.Discard(size_t(row));
  if (offer_.Copies().empty()) {
    accept();
    return;
  }
  Fill();
}

}  // namespace gui
