#include "editor_script/seed_scripts.h"

namespace vscript {

using editor::TCtl;

namespace {

TStep Type(TCtl field, const char* text, bool leave = false) {
  return {TOp::Type, Field(field), leave ? 1 : 0, 0, 0, text};
}

TStep Do(TOp op, int32_t a = 0, int32_t b = 0, int32_t c = 0, int32_t d = 0) {
  return {op, a, b, c, d, ""};
}

}  // namespace

const std::vector<TNamedScript>& SeedScripts() {
  static const std::vector<TNamedScript> scripts = {
      {"banner-star-moves",
       {Do(TOp::AddShape, 5, 1, 20, 1), Do(TOp::Drag, 10, 10, 40, 30), Do(TOp::Navigate, 3),
        Do(TOp::Drag, 40, 30, 100, 20), Type(editor::SE13, "40"), Do(TOp::Color, 6, 1, 12),
        Do(TOp::Undo), Do(TOp::Redo), Do(TOp::SaveAs), Do(TOp::Open, 1), Do(TOp::Build)}},
      {"text-typed-and-copied",
       {Do(TOp::AddShape, 6, 1, 5, 1), Type(editor::EText, "Hello"),
        Type(editor::EText, "Hello, world"), Do(TOp::Font, 1, 20, 1, 9),
        Type(editor::SE9, "5", true), Do(TOp::CopyObject), Do(TOp::PasteObject), Do(TOp::Build)}},
      {"frames-inserted-removed-reversed",
       {{TOp::InsertFrames, 2, 0, 0, 0, "5"},
        Do(TOp::RemoveFrames, 2, 4, 1),
        Do(TOp::Reverse),
        {TOp::FrameCount, 1, 0, 0, 0, "3"},
        Do(TOp::CopyFrame),
        Do(TOp::Navigate, 2),
        Do(TOp::PasteFrame),
        Do(TOp::InsertFrame),
        Do(TOp::RemoveFrame),
        Do(TOp::Undo),
        Do(TOp::Undo),
        Do(TOp::Undo)}},
      {"pictures-and-sounds",
       {Do(TOp::AddPicture, 0, 0, 1, 2), Do(TOp::AddPicture, 1, 3, 1, 20),
        Do(TOp::ReplaceSound, 0, 4), Do(TOp::ReplaceSound, 1, 5), Do(TOp::ReplacePicture, 0, 6),
        Do(TOp::AddShape, 0, 1, 20, 1), Do(TOp::Choose, 3, 4), Do(TOp::FillBitmap, 0, 1),
        Do(TOp::Build), Do(TOp::SaveAs), Do(TOp::New, 0), Do(TOp::Open, 1)}},
      {"modes-and-nudges",
       {Do(TOp::AddShape, 1, 1, 20, 1), Do(TOp::Mode), Type(editor::SE11, "10"), Do(TOp::Mode),
        Type(editor::SE12, "-7"), Do(TOp::Key, 0, 0), Do(TOp::Key, 3, 1), Do(TOp::Mode),
        Type(editor::SE19, "999", true), Do(TOp::Undo), Do(TOp::Key, 4)}},
      {"copied-object-altered",
       {Do(TOp::AddShape, 2, 1, 20, 1),
        Do(TOp::CopyObject),
        {TOp::AlterClipboard, 6, 0, 0, 0, "-2147483648"},
        Do(TOp::PasteObject),
        Do(TOp::CopyFrame),
        Do(TOp::AlterClipboard, 128, 2),
        Do(TOp::PasteFrame)}},
      {"frame-border-and-gradient",
       {Do(TOp::Check, 1, 1), Do(TOp::Choose, 1, 2), Type(editor::SE20, "5"),
        Type(editor::SE21, "9"), Do(TOp::Check, 2, 1), Do(TOp::Choose, 0, 8),
        Do(TOp::Color, 9, 2, 30, 50), Do(TOp::Color, 10, 4, 0x12, 0x34), Type(editor::CDelay, ""),
        Type(editor::CDelay, "0", true), Do(TOp::Build)}},
      {"movie-size-and-link",
       {Type(editor::CWidth, "728"), Type(editor::CHeight, "90"),
        Type(editor::MainURL, "https://example.com/?a=1&b=2"), Type(editor::CWidth, "99999999999"),
        Do(TOp::Color, 1, 1, 7), Do(TOp::Check, 0, 0), Do(TOp::Undo), Do(TOp::Build)}},
  };
  return scripts;
}

}  // namespace vscript
