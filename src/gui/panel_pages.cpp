// The three pages of the property panel as tables of rows; each cell names
// the editor's control it shows.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

#include "gui/property_panel.h"

namespace gui {

using namespace editor;
using K = TCellKind;

namespace {

QWidget* Page(const std::vector<QWidget*>& columns, const std::vector<int>& stretch) {
  auto* page = new QWidget;
  auto* row = new QHBoxLayout(page);
  row->setContentsMargins(6, 6, 6, 6);
  row->setSpacing(8);
  for (size_t i = 0; i < columns.size(); ++i) row->addWidget(columns[i], stretch[i]);
  return page;
}

}  // namespace

QWidget* TPropertyPanelView::MoviePage() {
  QGroupBox* movie = Group(" Movie ",
                           {{{CFrames, K::Push}, {CWidth, K::Digits}, {CHeight, K::Digits}},
                            {{RZPaneBkgrColor, K::Color}, {RzPanelWebsite, K::Color},
                             {ChLoop, K::Check, 2}},
                            {{EPL4, K::Name, 5},
                             {btnReplaceBkgrSound, K::Tool},
                             {btnClearBkgrSound, K::Tool}},
                            {{MainURL, K::Text, 5}}},
                           CtlCount);
  return Page({movie}, {1});
}

QWidget* TPropertyPanelView::FramePage() {
  QGroupBox* frame = Group(" Frame ", {{{CDelay, K::Digits}}, {{RzFrameBkgrColor, K::Color}}},
                           CtlCount);
  QGroupBox* border = Group(" Borders ",
                            {{{ChBox3, K::Check, 2}},
                             {{CBox4, K::Combo}, {SE20, K::Spin}},
                             {{CBox5, K::Combo}, {SE21, K::Spin}},
                             {{RzBorderCL, K::Color}, {RzH, K::Color}, {RzS, K::Color}}},
                            CtlCount);
  QGroupBox* gradient = Group(" Gradient ",
                              {{{ChBox1, K::Check, 2}},
                               {{CBox1, K::Combo, 2}},
                               {{RZGR1, K::Color}},
                               {{RZGR2, K::Color}}},
                              CtlCount);
  return Page({frame, border, gradient}, {0, 2, 1});
}

QWidget* TPropertyPanelView::ObjectsPage() {
  auto* top = new QWidget;
  auto* topRow = new QGridLayout(top);
  topRow->setContentsMargins(0, 0, 0, 0);
  AddRow(topRow, 0, {{CBox7, K::Combo}, {btnClearShapeLayer, K::Push}});
  topRow->setColumnStretch(1, 1);

  QGroupBox* properties = Group(" Properties ",
                                {{{SE11, K::Spin}, {SE12, K::Spin}},
                                 {{SE13, K::Spin}, {SE14, K::Spin}},
                                 {{SE19, K::Spin}, {SE7, K::Spin}},
                                 {{SE16, K::Spin}}},
                                GrpProperties);
  QGroupBox* fill = Group(" Fill Properties ",
                          {{{CBox8, K::Combo}, {SE15, K::Spin}},
                           {{RzShapeCL, K::Color}, {RzShapeBCL, K::Color}},
                           {{RzGr1Col, K::Color}, {RzGr2Col, K::Color}},
                           {{SE17, K::Spin}, {SE18, K::Spin}},
                           {{EPL2, K::Name, 3}, {btnFillBitmap, K::Tool}, {btnClearFillBitmap, K::Tool}}},
                          GrpFill);
  QGroupBox* text = Group(" Text ",
                          {{{EText, K::Text, 6}},
                           {{RZB1, K::Push}, {RzFont, K::Color}, {SE8, K::Spin}, {SE9, K::Spin}}},
                          GrpText);
  QGroupBox* picture = Group(" Picture ",
                             {{{EPL1, K::Name}, {btnReplacePicture, K::Tool}, {btnClearPicture, K::Tool}},
                              {{EURL, K::Text}},
                              {{EPL3, K::Name}, {btnReplaceSoundEv, K::Tool}, {btnClearSoundEv, K::Tool}}},
                             GrpPicture);
  // An object shows one of the three groups: they share one place.
  auto* right = new QWidget;
  auto* stack = new QGridLayout(right);
  stack->setContentsMargins(0, 0, 0, 0);
  for (QGroupBox* g : {fill, text, picture}) stack->addWidget(g, 0, 0);

  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  grid->setContentsMargins(6, 6, 6, 6);
  grid->addWidget(top, 0, 0, 1, 2);
  grid->addWidget(properties, 1, 0);
  grid->addWidget(right, 1, 1);
  grid->setColumnStretch(1, 1);
  return page;
}

}  // namespace gui
