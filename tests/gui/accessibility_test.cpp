// The editor window as a screen reader reads it, through Qt's accessibility
// interfaces (what the AT-SPI bridge hands on): every control a user can
// reach has a name of its own, and the number fields, colour buttons and the
// frame count tell their real values.
#include <QAccessible>
#include <QLabel>
#include <QTabBar>
#include <map>

#include "editor/editor.h"
#include "gui/editor_window_fixture.h"
#include "gui/property_panel.h"

namespace {

using editor::TCtl;

class Accessibility : public vtest::EditorWindowTest {
 protected:
  // The names of the reachable controls under `node`, by the widget they
  // stand for (a page shows only its own).
  static void Collect(QAccessibleInterface* node, std::map<QObject*, QString>& names) {
    const QAccessible::State state = node->state();
    if (state.invisible) return;
    if (state.focusable && node->object()) names[node->object()] = node->text(QAccessible::Name);
    for (int i = 0; i < node->childCount(); ++i)
      if (QAccessibleInterface* child = node->child(i)) Collect(child, names);
  }

  QAccessibleInterface* Reader(TCtl c) {
    return QAccessible::queryAccessibleInterface(window_->PanelView()->Control(c));
  }
};

// With a circle (its X and Y are "Xc:" and "Yc:", as the radial fill's
// centre is) and each page in turn: no control without a name, no name twice.
TEST_F(Accessibility, EveryReachableControlHasADistinctName) {
  AddObject(project::skCircle);
  editor::TEditor& e = window_->Editor();
  e.SetItemIndex(editor::CBox8, 2);  // radial gradient: its centre fields show
  window_->ShowState();
  ASSERT_EQ(window_->PanelView()->Label(editor::SE11)->text(), "Xc:");
  ASSERT_EQ(window_->PanelView()->Label(editor::SE17)->text(), "Xc:");
  ASSERT_TRUE(window_->PanelView()->Control(editor::SE17)->isVisible());

  std::map<QObject*, QString> names;
  for (int page : {0, 1, 2}) {
    window_->PanelView()->setCurrentIndex(page);
    QApplication::processEvents();
    Collect(QAccessible::queryAccessibleInterface(window_.get()), names);
  }
  ASSERT_GT(names.size(), 40u);
  std::map<QString, QObject*> owners;
  for (const auto& [object, name] : names) {
    SCOPED_TRACE(object->objectName().toStdString());
    EXPECT_FALSE(name.trimmed().isEmpty());
    const auto [other, added] = owners.emplace(name, object);
    EXPECT_TRUE(added) << name.toStdString() << " also names "
                       << other->second->objectName().toStdString();
  }
  EXPECT_TRUE(names.count(window_->PanelView()->tabBar())) << "the page tabs are a named stop";
  for (TCtl both : {editor::SE11, editor::SE17})
    EXPECT_TRUE(names.count(window_->PanelView()->Control(both))) << "Xc: " << int(both);
}

TEST_F(Accessibility, FieldsAndButtonsTellTheirValues) {
  AddObject(project::skRectangle);
  editor::TEditor& e = window_->Editor();
  e.SetText(editor::SE11, "37");
  e.SetText(editor::SE16, "120");  // transparency 0..255
  window_->ShowState();
  const editor::TPropertyPanel& panel = e.Panel();

  for (TCtl field : {editor::SE11, editor::SE16, editor::SE15, editor::SE7}) {
    SCOPED_TRACE(int(field));
    QAccessibleInterface* reader = Reader(field);
    ASSERT_NE(reader, nullptr);
    QAccessibleValueInterface* value = reader->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), std::stoi(panel[field].Text));
    EXPECT_EQ(value->minimumValue().toInt(), panel[field].Min);
    EXPECT_EQ(value->maximumValue().toInt(), panel[field].Max);
    EXPECT_LT(value->minimumValue().toInt(), value->maximumValue().toInt());
  }
  EXPECT_EQ(Reader(editor::SE11)->valueInterface()->currentValue().toInt(), 37);
  EXPECT_EQ(Reader(editor::SE16)->valueInterface()->maximumValue().toInt(), 255);

  const auto rgb = [](project::TColor c) {
    return QColor(project::Red(c), project::Green(c), project::Blue(c)).name().toUpper();
  };
  EXPECT_EQ(Reader(editor::RzShapeCL)->text(QAccessible::Description),
            rgb(panel[editor::RzShapeCL].Color));
  EXPECT_EQ(Reader(editor::RZPaneBkgrColor)->text(QAccessible::Description),
            rgb(e.Doc().Settings.MBkgrColor));
  // Without gradient the frame's gradient buttons show no colour: they say so.
  EXPECT_EQ(Reader(editor::RZGR1)->text(QAccessible::Description), "none");
  EXPECT_EQ(Reader(editor::CFrames)->text(QAccessible::Description), "20");
  EXPECT_EQ(Reader(editor::CFrames)->text(QAccessible::Name), "Number of frames (Movie)");
}

}  // namespace
