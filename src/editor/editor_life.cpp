// The main window's life: start-up and shut-down, settings and recent
// files, the project commands with their unsaved-changes question, and the
// whole-movie preview with its export.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "editor/editor.h"
#include "moviegen/movie_build.h"
#include "platform/error.h"
#include "platform/folders.h"

namespace editor {

namespace fs = std::filesystem;

namespace {

constexpr const char* kProjectFilter = "sw0 - Vellumet Project Format|*.sw0";
constexpr int kRecentCount = 5;

bool DirectoryExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

std::string WithSeparator(std::string folder) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

std::optional<int32_t> ReadSettingInteger(ISettingsStore& store, const char* name) {
  std::optional<std::string> text = store.Read(name);
  return text ? ReadInteger(*text) : std::nullopt;
}

std::optional<bool> ReadSettingBool(ISettingsStore& store, const char* name) {
  std::optional<std::string> text = store.Read(name);
  if (!text) return std::nullopt;
  if (*text == "true" || *text == "1") return true;
  if (*text == "false" || *text == "0") return false;
  return std::nullopt;
}

std::string WithoutExtension(const std::string& path) {
  return fs::path(path).replace_extension().string();
}

// Copies a file through a temporary name beside the target, so that a failed
// copy never destroys an existing file.
bool CopyReplacing(const std::string& from, const std::string& to) {
  std::error_code ec;
  std::string part = to + ".part";
  if (!fs::is_regular_file(from, ec) ||
      !fs::copy_file(from, part, fs::copy_options::overwrite_existing, ec)) {
    fs::remove(part, ec);
    return false;
  }
  fs::rename(part, to, ec);
  if (ec) fs::remove(part, ec);
  return !ec;
}

}  // namespace

// ---- Start-up and shut-down ------------------------------------------------

void TEditor::FormCreate(const std::vector<std::string>& args) {
  dragging_ = false;
  justOpened_ = false;
  doc_.SelectedSlots.reset();
  workArea_ = ports_.Window.WorkArea();
  TBounds bounds = ports_.Window.Bounds();
  bounds.Left = workArea_.Left;
  bounds.Top = workArea_.Top;
  ports_.Window.SetBounds(bounds);
  SetEditMode(project::TEditMode::emAnimation);
  panel_.ActivePage = TPage::Movie;
  panel_[CBox1].ItemIndex = 0;
  HelpFile = doc_.ProgramDir + "Vellumet.html";
  if (!args.empty()) pendingOpen_ = args.front();
  PictureDir = doc_.ProgramDir;
  doc_.ScreenPixelsPerInch = ports_.Window.ScreenPixelsPerInch();
  Unrecorded([&] { doc_.CreateEmptyMV(); });
  doc_.Modify(false);
  history_.Clear();
  UpdateUndoMenu();
}

void TEditor::FormShow() {
  Readini();
  mrud_read();
}

void TEditor::FormActivate() {
  if (pendingOpen_.empty()) return;
  std::string path = std::move(pendingOpen_);
  pendingOpen_.clear();
  ports_.Window.ProcessEvents();
  OpenProject(path);
}

bool TEditor::FormClose() {
  if (doc_.Modified && ModifyMsg() == TMsgResult::Cancel) return false;
  Writeini();
  doc_.DeleteTempFiles();
  ClosePreview();
  return true;
}

void TEditor::Readini() {
  ISettingsStore& store = ports_.Settings;
  if (!store.OpenKey(true)) return;
  std::string last = store.Read("LastDir").value_or("");
  if (DirectoryExists(last))
    doc_.ProjectDir = WithSeparator(last);
  else if (DirectoryExists(doc_.ProgramDir + "Samples"))
    doc_.ProjectDir = doc_.ProgramDir + "Samples/";
  else
    doc_.ProjectDir = doc_.ProgramDir;
  std::string picture = store.Read("LastPictureDir").value_or("");
  PictureDir = DirectoryExists(picture) ? picture : doc_.ProgramDir;

  // The window's bounds and the tips tick, as far as they can be read.
  TBounds bounds = ports_.Window.Bounds();
  int32_t* fields[] = {&bounds.Left, &bounds.Top, &bounds.Width, &bounds.Height};
  const char* names[] = {"L", "T", "W", "H"};
  size_t read = 0;
  for (; read < 4; ++read) {
    std::optional<int32_t> v = ReadSettingInteger(store, names[read]);
    if (!v) break;
    *fields[read] = *v;
  }
  if (read > 0) ports_.Window.SetBounds(bounds);
  std::optional<bool> tips = read == 4 ? ReadSettingBool(store, "Tips") : std::nullopt;
  panel_.Menu(miShowTips).Checked = tips.value_or(true);
}

void TEditor::Writeini() {
  ISettingsStore& store = ports_.Settings;
  if (!store.OpenKey(false)) return;
  TBounds b = ports_.Window.Bounds();
  store.Write("LastDir", doc_.ProjectDir);
  store.Write("LastPictureDir", PictureDir);
  store.Write("L", std::to_string(b.Left));
  store.Write("T", std::to_string(b.Top));
  store.Write("W", std::to_string(b.Width));
  store.Write("H", std::to_string(b.Height));
  store.Write("Tips", panel_.Menu(miShowTips).Checked ? "true" : "false");
}

// ---- Recent files ----------------------------------------------------------

// A path already in the list stays where it is; a new one goes on top and
// the oldest drops out.
void TEditor::mrud_write(const std::string& path) {
  ISettingsStore& store = ports_.Settings;
  if (!store.OpenKey(true)) return;
  std::string entries[kRecentCount + 1];
  for (int n = 1; n <= kRecentCount; ++n) {
    entries[n] = store.Read("MRUD" + std::to_string(n)).value_or("");
    if (SameTextIgnoringCase(entries[n], path)) return;
  }
  for (int n = kRecentCount - 1; n >= 1; --n)
    store.Write("MRUD" + std::to_string(n + 1), entries[n]);
  store.Write("MRUD1", path);
}

void TEditor::mrud_read() {
  ISettingsStore& store = ports_.Settings;
  if (!store.OpenKey(true)) return;
  panel_.Menu(miRecentFiles).Enabled = false;
  for (int n = 1; n <= kRecentCount; ++n) {
    TMenuState& item = panel_.Menu(TMenuItem(miRecent1 + n - 1));
    std::string path = store.Read("MRUD" + std::to_string(n)).value_or("");
    item.Visible = !path.empty();
    item.Caption.clear();
    if (!path.empty()) {
      item.Caption += '&';
      item.Caption += std::to_string(n);
      item.Caption += ' ';
      item.Caption += path;
    }
    if (!path.empty()) panel_.Menu(miRecentFiles).Enabled = true;
  }
}

void TEditor::mrud1Click(int n) {
  if (n < 1 || n > kRecentCount) return;
  const std::string& caption = panel_.Menu(TMenuItem(miRecent1 + n - 1)).Caption;
  if (caption.size() <= 3) return;
  std::string path = caption.substr(3);
  if (doc_.Modified && ModifyMsg() == TMsgResult::Cancel) return;
  OpenProject(path);
}

void TEditor::TBItem15Click() {
  ShowInBrowser(HelpFile);
}

void TEditor::ShowInBrowser(const std::string& page) {
  if (!ports_.Window.TryOpenDocument(page)) Warn(BrowserFailureText(page));
}

std::string BrowserFailureText(const std::string& page) {
  return "The web browser could not be started to show the page " + page +
         "\nOpen it in a browser by hand.";
}

void TEditor::TBItem17Click() {
  ports_.Window.ShowAbout();
}

// ---- Project commands ------------------------------------------------------

void TEditor::OpenProject(const std::string& path) {
  Unrecorded([&] {
    if (doc_.OpenMV(path)) history_.Clear();
  });
}

bool TEditor::RestoreCopy(const std::string& copyPath, const std::string& originalPath,
                          const std::string& name) {
  bool restored = false;
  Unrecorded([&] {
    restoring_ = true;
    restored = doc_.OpenMV(copyPath);
    restoring_ = false;
    if (!restored) return;
    history_.Clear();
    history_.ForgetSavedState();
    bool hasFile = !originalPath.empty();
    doc_.ProjectFileName = hasFile ? originalPath : doc_.ProjectDir + name;
    if (hasFile) doc_.ProjectDir = std::string(platform::FolderPart(originalPath));
    panel_.Menu(miSaveProject).Enabled = hasFile;
    doc_.Modify(true);
  });
  restoring_ = false;
  return restored;
}

void TEditor::RzNewClick() {
  Unrecorded([&] {
    if (doc_.Modified && ModifyMsg() == TMsgResult::Cancel) return;
    doc_.ScreenPixelsPerInch = ports_.Window.ScreenPixelsPerInch();
    doc_.CreateEmptyMV();
    panel_.ActivePage = TPage::Movie;
    history_.Clear();
  });
}

void TEditor::RzOpenClick() {
  Unrecorded([&] {
    if (doc_.Modified && ModifyMsg() == TMsgResult::Cancel) return;
    std::optional<std::string> path =
        ports_.Prompts.OpenFileDialog(
            {doc_.ProjectDir, "", kProjectFilter, ".sw0", false, "Open Project"});
    if (path) OpenProject(*path);
  });
}

// A save that fails tells the user; the project stays modified.
bool TEditor::SaveTo(const std::string& path) {
  try {
    doc_.SaveMV_NEW(path);
  } catch (const platform::TVellumetError& e) {
    ports_.Prompts.MessageBox(e.what(), "Vellumet", TMsgIcon::Error, TMsgButtons::Ok);
    return false;
  }
  history_.MarkSaved();
  history_.EndRun();
  return true;
}

void TEditor::RzSaveClick() {
  Unrecorded([&] { SaveTo(doc_.ProjectFileName); });
}

void TEditor::RzSaveasClick() {
  Unrecorded([&] {
    TFileDialogRequest request{doc_.ProjectDir, WithoutExtension(doc_.ProjectFileName),
                               kProjectFilter, ".sw0", true, "Save Project As"};
    std::optional<std::string> chosen = ports_.Prompts.SaveFileDialog(request);
    if (!chosen) return;
    std::string path = *chosen;
    if (platform::FileNamePart(path).find('.') == std::string_view::npos) path += ".sw0";
    if (!SaveTo(path)) return;
    doc_.ProjectFileName = path;
    doc_.ProjectDir = std::string(platform::FolderPart(path));
    UpdateCaption();
    panel_.Menu(miSaveProject).Enabled = true;
  });
}

// Yes saves; when that save does not happen (cancelled or failed) the
// answer becomes Cancel, so that the caller keeps the unsaved project.
TMsgResult TEditor::ModifyMsg() {
  std::string name(platform::FileNamePart(doc_.ProjectFileName));
  TMsgResult answer =
      ports_.Prompts.MessageBox("Project " + name + " has been modified. Save it?", "Vellumet",
                                TMsgIcon::Question, TMsgButtons::YesNoCancel);
  if (answer == TMsgResult::Yes) {
    if (panel_.Menu(miSaveProject).Enabled)
      RzSaveClick();
    else
      RzSaveasClick();
    if (doc_.Modified) return TMsgResult::Cancel;
  }
  if (answer == TMsgResult::Yes || answer == TMsgResult::No) doc_.Modify(false);
  return answer;
}

// ---- Preview and export ----------------------------------------------------

void TEditor::RzStartClick() {
  Command([&] {
    panel_.StatusPanes[0] = "Please wait...";
    ports_.Window.ProcessEvents();
    TBuiltMovie movie;
    try {
      movie = ports_.Builder.BuildWholeMovie(doc_);
    } catch (const platform::TVellumetError& e) {
      // A movie the build refuses (too long for an SWF file, say): the user
      // reads why in a message, not only in the status bar.
      panel_.StatusPanes[0] = "OK";
      Warn(e.what());
      return;
    } catch (...) {
      panel_.StatusPanes[0] = "OK";
      throw;
    }
    for (const std::string& warning : movie.Warnings) Warn(warning);
    if (movie.Path != previewFile_) DeletePreviewFile();
    previewFile_ = movie.Path;
    std::error_code ec;
    uintmax_t size = fs::file_size(previewFile_, ec);
    const project::TMovieSettings& m = doc_.Settings;
    auto rgb = [](project::TColor c) {
      return uint32_t(project::Red(c)) << 16 | uint32_t(project::Green(c)) << 8 |
             uint32_t(project::Blue(c));
    };
    ports_.Preview.Show({previewFile_, rgb(m.MBkgrColor), rgb(m.MSiteColor), m.MWidth, m.MHeight,
                         "File Size: " + std::to_string(ec ? 0 : size) + " bytes",
                         moviegen::SwfFrameCounts(doc_),
                         std::make_shared<const project::TProjectDocument>(doc_)});
    panel_.StatusPanes[0] = "OK";
    if (!ports_.Preview.HasSaveButton()) SaveSWF();
  });
}

void TEditor::SaveSWF() {
  Unrecorded([&] {
    std::string caption(platform::FileNamePart(doc_.ProjectFileName));
    std::optional<std::string> chosen = ports_.Prompts.SaveFileDialog(
        {"", WithoutExtension(caption), "SWF Flash (*.swf)|*.swf", ".swf", true, "Save SWF Movie"});
    if (!chosen) return;
    ports_.Preview.Stop();
    panel_.StatusPanes[0] = "Writing SWF...";
    std::string path = *chosen;
    std::string tail = path.size() >= 4 ? path.substr(path.size() - 4) : path;
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; });
    if (tail != ".SWF") path += ".swf";
    std::string page = fs::path(path).replace_extension(".html").string();
    std::string name(platform::FileNamePart(path));
    if (!CopyReplacing(previewFile_, path)) {
      panel_.StatusPanes[0] = "OK";
      Warn("Error writing the file " + name);
      return;
    }
    ports_.Preview.Play();
    panel_.StatusPanes[0] = "OK";
    ports_.Prompts.MessageBox("File " + name + " has been successfully created!", "Vellumet",
                              TMsgIcon::Information, TMsgButtons::Ok);
    if (ports_.Preview.IsOpen()) ClosePreview();
    ports_.Builder.WriteTestPage(doc_, path, page);
    ShowInBrowser(page);
  });
}

void TEditor::ExportWritten(const std::string& message, const std::string& folder) {
  panel_.StatusPanes[0] = message;
  panel_.StatusFolder = {message, folder};
}

namespace {

// Pictures the player met that it cannot decode (damaged data the build
// copied as it stands); `where` says of what ("in this frame").
std::string UndrawablePicturesText(int count, const char* where) {
  if (count == 1)
    return std::string("A picture ") + where +
           " cannot be shown: its data cannot be decoded. Load another file for it on the "
           "Objects page.";
  return std::to_string(count) + " pictures " + where +
         " cannot be shown: their data cannot be decoded. Load other files for them on the "
         "Objects page.";
}

}  // namespace

void TEditor::CanvasPicturesUndrawable(int count) {
  std::string& pane = panel_.StatusPanes[0];
  if (count > 0) {
    pane = canvasNote_ = UndrawablePicturesText(count, "in this frame");
    return;
  }
  if (!canvasNote_.empty() && pane == canvasNote_) pane.clear();
  canvasNote_.clear();
}

void TEditor::PreviewPicturesUndrawable(int count) {
  if (count > 0) ports_.Preview.ShowMessage(UndrawablePicturesText(count, "in the movie"));
}

void TEditor::PreviewClosed() {
  DeletePreviewFile();
}

void TEditor::ClosePreview() {
  if (ports_.Preview.IsOpen()) ports_.Preview.Close();
  DeletePreviewFile();
}

void TEditor::DeletePreviewFile() {
  if (previewFile_.empty()) return;
  std::error_code ignored;
  fs::remove(previewFile_, ignored);
  previewFile_.clear();
}

}  // namespace editor
