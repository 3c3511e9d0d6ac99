#pragma once
// The program's icons, painted with QPainter at whatever size and device
// pixel ratio a widget asks for, so they stay crisp at 1x, 2x and between.
#include <QIcon>
#include <array>
#include <cstdint>

#include "project/model.h"

namespace gui {

// The palette kinds carry their project::TShapeKind codes.
enum class TIcon : uint8_t {
  Rectangle = 1,
  RoundRect,
  Circle,
  Ellipse,
  Diamond,
  Star,
  Text,
  Picture,
  Button,
  NewProject,
  OpenProject,
  SaveProject,
  SaveProjectAs,
  SwfPreview,
  FirstFrame,
  PreviousFrame,
  NextFrame,
  LastFrame,
  InsertFrame,
  RemoveFrame,
  ReverseFrames,
  ModeAnimation,
  ModeLocked,
  ModeAllFrames,
  FileLoad,
  FileClear,
  Undo,
  Redo,
};

inline constexpr int kIconCount = static_cast<int>(TIcon::Redo);

// Every icon, in declaration order.
constexpr std::array<TIcon, kIconCount> AllIcons() {
  std::array<TIcon, kIconCount> all{};
  for (int i = 0; i < kIconCount; ++i) all[i] = static_cast<TIcon>(i + 1);
  return all;
}

QIcon MakeIcon(TIcon which);

// The palette button's icon for a kind 1..9.
TIcon PaletteIcon(project::TShapeKind kind);
// The look of the mode button in each edit mode.
TIcon ModeIcon(project::TEditMode mode);

}  // namespace gui
