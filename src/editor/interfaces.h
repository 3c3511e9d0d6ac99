#pragma once
// Everything the editor needs from the window, the desktop and the layers it
// does not link directly. The Qt window implements these; tests script them.
//
// Encoding: every text that crosses these interfaces is UTF-8 (message texts,
// clipboard text, font names). File paths are native paths.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/frame_sizes.h"
#include "project/document.h"

namespace editor {

class TColorDialog;
class TLimitsDialog;
class TNumberDialog;

struct TRect {
  int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  int32_t Width() const { return Right - Left; }
  int32_t Height() const { return Bottom - Top; }
  bool operator==(const TRect&) const = default;
};

// A window's position and size in screen pixels.
struct TBounds {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const TBounds&) const = default;
};

// The main window as the editing logic sees it: its geometry, the desktop
// around it, and the few desktop services a command uses.
class IMainWindow {
 public:
  virtual ~IMainWindow() = default;
  // The desktop without the task bar.
  virtual TRect WorkArea() = 0;
  virtual TBounds Bounds() = 0;
  // Moves and resizes the window; the canvas area follows at once, so the
  // canvas size read afterwards is the new one.
  virtual void SetBounds(const TBounds& bounds) = 0;
  // The canvas area (the player is centred in it) and the object palette
  // strip at its left edge.
  virtual int32_t CanvasWidth() = 0;
  virtual int32_t CanvasHeight() = 0;
  virtual int32_t PaletteWidth() = 0;
  virtual int32_t ScreenPixelsPerInch() = 0;
  virtual void Beep() = 0;
  // Lets the window repaint before a long step (the preview build).
  virtual void ProcessEvents() = 0;
  // Opens a file with the desktop's handler (the exported HTML page, help).
  virtual void OpenDocument(const std::string& path) = 0;
  // The same; false when the desktop's handler could not be started.
  virtual bool TryOpenDocument(const std::string& path) {
    OpenDocument(path);
    return true;
  }
  virtual void ShowAbout() = 0;
  // Asks the window to close; the window then calls TEditor::FormClose.
  virtual void RequestClose() = 0;
};

enum class TMsgIcon { None, Warning, Error, Information, Question };
enum class TMsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class TMsgResult { Ok, Cancel, Yes, No };

struct TFileDialogRequest {
  std::string InitialDir;  // empty: the dialog keeps its last folder
  std::string FileName;    // preset name (may be a full path)
  std::string Filter;      // "Description|*.a;*.b|Other|*.c"
  std::string DefaultExt;  // ".sw0"
  bool OverwritePrompt = false;
  std::string Title;  // empty: the toolkit's own ("Save As", "Open")
};

// What a font dialog shows and hands back.
struct TFontChoice {
  std::string Name;  // UTF-8
  int32_t Size = 0;  // points
  project::TColor Color = 0;
  bool Bold = false, Italic = false;
};

// The modal questions and dialogs. Each returns what the user chose; the
// dialog classes passed by reference hold their own field logic, the window
// only binds widgets to them and returns true for OK.
class IPrompts {
 public:
  virtual ~IPrompts() = default;
  virtual TMsgResult MessageBox(const std::string& text, const std::string& title, TMsgIcon icon,
                                TMsgButtons buttons) = 0;
  virtual bool NumberDialog(TNumberDialog& dialog) = 0;
  virtual bool LimitsDialog(TLimitsDialog& dialog) = 0;
  virtual std::optional<std::string> OpenFileDialog(const TFileDialogRequest& request) = 0;
  virtual std::optional<std::string> SaveFileDialog(const TFileDialogRequest& request) = 0;
  virtual bool FontDialog(TFontChoice& font) = 0;
  virtual bool ColorDialog(TColorDialog& dialog) = 0;
};

// The system clipboard's plain text.
class IClipboard {
 public:
  virtual ~IClipboard() = default;
  virtual std::string Text() = 0;
  // Clears the clipboard and puts `text` on it.
  virtual void SetText(const std::string& text) = 0;
};

// The user's settings (QSettings "Orrindale"/"Vellumet" in the window; a map
// in tests). Values are texts; the editor parses numbers and switches.
class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  // Opens the program's settings, creating them when `create` is set;
  // false when they cannot be opened.
  virtual bool OpenKey(bool create) = 0;
  virtual std::optional<std::string> Read(const std::string& name) = 0;
  virtual void Write(const std::string& name, const std::string& value) = 0;
};

// The embedded player of the canvas.
class IPlayer {
 public:
  virtual ~IPlayer() = default;
  // Reads the movie (SWF bytes) at once; the bytes are not kept.
  virtual void LoadMovie(const std::vector<uint8_t>& swf) = 0;
  virtual void SetBackgroundColor(uint32_t rgb) = 0;  // 0xRRGGBB
  virtual void GotoFrame(int32_t frame) = 0;          // 0-based
  // Sizes the player to the stage (one screen pixel per stage pixel) and
  // centres it in the canvas area right of the palette strip.
  virtual void SetStageSize(int32_t width, int32_t height) = 0;
  // Hides and shows the player so that it repaints at a new stage size.
  virtual void Refresh() = 0;
};

struct TPreviewRequest {
  std::string MoviePath;         // a whole-movie build; kept until the preview closes
  uint32_t BackgroundColor = 0;  // 0xRRGGBB, the movie background
  uint32_t SiteColor = 0;        // 0xRRGGBB, the window colour around the player
  int32_t Width = 0, Height = 0;
  std::string Status;  // the preview's second status pane ("File Size: ...")
  // What the size view measures, off the window thread: the SWF frames each
  // project frame lasts, and the project as built (for the HTML5 package).
  std::vector<int32_t> SwfFrames;
  std::shared_ptr<const project::TProjectDocument> Document;
};

// The separate preview window with its own player.
class IPreviewWindow {
 public:
  virtual ~IPreviewWindow() = default;
  virtual bool IsOpen() = 0;
  // Loads the movie, sizes and shows the window (centred the first time,
  // where the user left it afterwards) and focuses its player.
  virtual void Show(const TPreviewRequest& request) = 0;
  // Closes the window. The window also calls TEditor::PreviewClosed when the
  // user closes it.
  virtual void Close() = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  // A line in the window's message pane, which each Show clears.
  virtual void ShowMessage(const std::string& text) = 0;
  // Whether the window offers its own "Save SWF..." button; without it the
  // export follows the preview at once.
  virtual bool HasSaveButton() = 0;
};

// A movie built from the project.
struct TBuiltMovie {
  std::string Path;  // a new .swf file in TempDir; the caller deletes it
  // Messages the build shows ("Too many objects in the movie. Only 255 is
  // allowed."): warning boxes titled "Vellumet".
  std::vector<std::string> Warnings;
};

// The current frame's build as the canvas loads it: an uncompressed SWF in
// memory, written to no file.
struct TBuiltFrame {
  std::vector<uint8_t> Swf;
  std::vector<std::string> Warnings;  // as TBuiltMovie's
};

// The movie build. Both builds measure the text objects and the images and
// write the derived W, H and Alpha back into the document, as the build
// does; nothing else of the document changes. Errors are thrown (a
// platform::TVellumetError with the user's text, or any std::exception).
class IMovieBuilder {
 public:
  virtual ~IMovieBuilder() = default;
  // The current frame only, as the canvas shows it (the canvas draws the
  // selection outline over it).
  virtual TBuiltFrame BuildCurrentFrame(project::TProjectDocument& doc) = 0;
  // Every frame, for the preview window and the export.
  virtual TBuiltMovie BuildWholeMovie(project::TProjectDocument& doc) = 0;
  // Writes the HTML test page of the exported movie `swfPath` to `htmlPath`.
  virtual void WriteTestPage(const project::TProjectDocument& doc, const std::string& swfPath,
                             const std::string& htmlPath) = 0;
};

struct TTextSize {
  int32_t Width = 0, Height = 0;
};

// Text extents with the screen's font metrics, as the property panel shows
// them. Face and text are Windows-1252 (model strings).
class ITextMeasurer {
 public:
  virtual ~ITextMeasurer() = default;
  virtual TTextSize MeasureText(const std::string& face, int32_t points, int32_t ppi,
                                const std::string& text) = 0;
};

// The ports an editor is built with; all references outlive the editor.
struct TEditorPorts {
  IMainWindow& Window;
  IPrompts& Prompts;
  IClipboard& Clipboard;
  ISettingsStore& Settings;
  IPlayer& Player;
  IPreviewWindow& Preview;
  IMovieBuilder& Builder;
  ITextMeasurer& Measurer;
};

}  // namespace editor
