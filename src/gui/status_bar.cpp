#include "gui/status_bar.h"

#include <QLabel>
#include <QToolButton>

namespace gui {

TMainStatusBar::TMainStatusBar(QWidget* parent) : QStatusBar(parent) {
  setObjectName("StatusBar");
  setSizeGripEnabled(true);
  const int widths[4] = {150, 220, 150, 0};
  for (int i = 0; i < 4; ++i) {
    auto* pane = new QLabel(this);
    pane->setObjectName(QString("pane%1").arg(i + 1));
    pane->setMinimumWidth(widths[i]);
    pane->setTextInteractionFlags(Qt::NoTextInteraction);
    addWidget(pane, i == 3 ? 1 : 0);
    panes_[size_t(i)] = pane;
    if (i == 0) {
      openFolder_ = new QToolButton(this);
      openFolder_->setObjectName("OpenFolder");
      openFolder_->setText(tr("Open Folder"));
      openFolder_->setAutoRaise(true);
      openFolder_->hide();
      addWidget(openFolder_);
      connect(openFolder_, &QToolButton::clicked, this, [this] { emit folderRequested(folder_); });
    }
  }
  QFont bold = panes_[2]->font();
  bold.setBold(true);
  panes_[2]->setFont(bold);
  panes_[2]->setAlignment(Qt::AlignCenter);
}

void TMainStatusBar::Show(const editor::TPropertyPanel& panel) {
  for (size_t i = 0; i < panes_.size(); ++i) {
    QString text = QString::fromStdString(panel.StatusPanes[i]);
    if (panes_[i]->text() != text) panes_[i]->setText(text);
    if (panes_[i]->accessibleName() != text) panes_[i]->setAccessibleName(text);
  }
  const auto& written = panel.StatusFolder;
  bool offer = !written.Folder.empty() && written.Message == panel.StatusPanes[0];
  folder_ = QString::fromStdString(written.Folder);
  if (openFolder_->isHidden() == offer) openFolder_->setVisible(offer);
  if (offer) openFolder_->setToolTip(folder_);
  project::TColor c = panel.ModePaneColor;
  QPalette palette = this->palette();
  if (!editor::IsSystemColor(c))
    palette.setColor(QPalette::WindowText,
                     QColor(project::Red(c), project::Green(c), project::Blue(c)));
  if (panes_[2]->palette() != palette) panes_[2]->setPalette(palette);
}

QString TMainStatusBar::Pane(int index) const {
  return panes_[size_t(index)]->text();
}

}  // namespace gui
