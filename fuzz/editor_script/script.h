#pragma once
// A script of editor commands, as a user makes them in the window: field
// edits, frame and object commands, the clipboard, canvas drags and keys,
// colour and font dialogs, undo and redo, saving and opening. The fuzz
// target decodes its input into a script; the regression table writes
// scripts directly. Every byte string decodes to some script.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "editor/panel.h"

namespace vscript {

// The fields a Type step types into, by its A.
inline constexpr editor::TCtl kTypedFields[] = {
    editor::CWidth, editor::CHeight, editor::CDelay, editor::MainURL, editor::SE20,
    editor::SE21,   editor::SE11,    editor::SE12,   editor::SE13,    editor::SE14,
    editor::SE19,   editor::SE7,     editor::SE16,   editor::SE15,    editor::SE17,
    editor::SE18,   editor::EText,   editor::SE8,    editor::SE9,     editor::EURL};

// The A of a Type step into `field`.
constexpr int32_t Field(editor::TCtl field) {
  for (size_t i = 0; i < std::size(kTypedFields); ++i)
    if (kTypedFields[i] == field) return int32_t(i);
  return 0;
}

enum class TOp : uint8_t {
  Type,             // A: field (kTypedFields), B bit 0: leave the field after; Text
  Check,            // A: check box, B: ticked
  Choose,           // A: list, B: position (signed)
  Mode,             // the mode button
  Navigate,         // A: first, previous, next, last
  InsertFrame,      // the copy of the current frame after it
  RemoveFrame,      // the current frame
  Reverse,          // every frame
  FrameCount,       // Text: the number dialog's answer, A == 0 cancels
  InsertFrames,     // A: where; Text: the number dialog's answer
  RemoveFrames,     // A..B: the range dialog's answer, C == 0 cancels
  CopyFrame,        //
  PasteFrame,       //
  AlterClipboard,   // A: line; B: replace it with Text, remove it, or cut the text there
  AddShape,         // A: kind - 1 (rectangle 0 .. text 6); B..C: the range (animation mode), D == 0
                    // cancels
  AddPicture,       // A: picture or button; B: file; C..D: the range
  FillBitmap,       // B: file
  ReplacePicture,   // B: file
  ClearPicture,     //
  ClearFillBitmap,  //
  ReplaceSound,     // A: button or background sound; B: file
  ClearSound,       // A: button or background sound
  RemoveObject,     // A == 0 answers No
  SelectObject,     // A: list position (the selector)
  CopyObject,       //
  PasteObject,      //
  Drag,             // from (A, B) to (C, D): stage pixels, signed
  Key,              // A: key (kKeys); B: Shift, Ctrl, player focused
  Color,            // A: colour button (tag - 1); B: how the dialog is answered; C, D: where
  Font,             // A: face; B: size (signed); C: bold, italic; D == 0 cancels
  Undo,             //
  Redo,             //
  Menu,             // A: menu item
  SaveAs,           //
  Open,             // the file SaveAs wrote; A: the answer to "Save it?"
  New,              // A: the answer to "Save it?"
  Build,            // both builds now, read back in the player
  Count
};

struct TStep {
  TOp Op = TOp::Undo;
  int32_t A = 0, B = 0, C = 0, D = 0;  // each a byte in the encoding (A..D signed where noted)
  std::string Text;                    // only Type, FrameCount, InsertFrames, AlterClipboard
  bool operator==(const TStep&) const = default;
};

using TScript = std::vector<TStep>;

// One step is an op byte, four argument bytes and, for the ops that take a
// text, a length byte and the text. A short tail reads as zeros.
TScript DecodeScript(const uint8_t* data, size_t size);
std::vector<uint8_t> EncodeScript(const TScript& script);
// One line per step, as a regression table row writes it.
std::string DescribeScript(const TScript& script);

bool TakesText(TOp op);

}  // namespace vscript
