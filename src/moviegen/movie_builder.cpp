// The build driver: movie settings, the depth layout, the registration
// order, sounds, the movie-wide link and the frame loop.
#include "moviegen/movie_builder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <random>

#include "moviegen/movie_build.h"
#include "moviegen/moviegen_error.h"
#include "project/project_file.h"
#include "swf/core/bits_engine.h"
#include "swf/core/memory_stream.h"
#include "swf/objects/action_script.h"
#include "swf/objects/flash_button.h"
#include "swf/objects/flash_movie.h"
#include "swf/objects/flash_place_object.h"
#include "swf/objects/flash_shape.h"
#include "swf/objects/flash_sound.h"
#include "swf/objects/flash_text.h"
#include "swf/tags/sound_tags.h"

namespace moviegen {

using project::TShapeRec;

namespace {

constexpr int32_t kMaxDepth = 65535;
// Button state sets: up, down and over, each with the hit area.
constexpr uint8_t kUp = 1, kDown = 2, kOver = 4, kHitTest = 8;

int32_t Twips(int32_t pixels) {
  return int32_t(std::clamp<int64_t>(int64_t(pixels) * 20, INT32_MIN, INT32_MAX));
}

// Hundredths of a second (SWF frames) as seconds: "655.35", "700".
std::string SecondsText(int64_t frames) {
  std::string text = std::to_string(frames / 100);
  if (const int64_t rest = frames % 100; rest != 0)
    text += (rest < 10 ? ".0" : ".") + std::to_string(rest % 10 == 0 ? rest / 10 : rest);
  return text;
}

std::string Trimmed(const std::string& text) {
  const size_t from = text.find_first_not_of(' ');
  if (from == std::string::npos) return "";
  return text.substr(from, text.find_last_not_of(' ') - from + 1);
}

// A new name in the temporary folder: a random number below a million, drawn
// again while a file of that name exists (the preview may still show one).
std::string NewMovieFileName(const std::string& tempDir) {
  std::mt19937 random(uint32_t(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::uniform_int_distribution<int> number(0, 999999);
  std::string name;
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = tempDir + std::to_string(number(random)) + ".swf";
    std::error_code ignored;
    if (!std::filesystem::exists(name, ignored)) break;
  }
  return name;
}

// The bytes of a definition tag without its character ID: two definitions
// with the same key draw the same wherever they are placed.
std::string DefinitionKey(swf::TFlashVisualObject& object, uint8_t version) {
  swf::TMemoryStream stream;
  swf::TBitsEngine be(stream);
  object.SetMovieVersion(version);
  object.WriteToStream(be);
  const auto* bytes = reinterpret_cast<const char*>(stream.Data());
  const size_t size = stream.Size();
  const size_t header = size >= 2 && (bytes[0] & 0x3F) == 0x3F ? 6 : 2;
  if (size < header + 2) return std::string(bytes, size);
  return std::string(bytes, header).append(bytes + header + 2, size - header - 2);
}

}  // namespace

int DepthStride(const project::TProjectDocument& doc) {
  return doc.GetLastUsedShapeNr() + 4;
}

TDepthLayout::TDepthLayout(int32_t frameCount, int32_t stride)
    : frameCount_(std::max(frameCount, 1)), stride_(std::clamp(stride, 4, 0x4000)) {
  cycle_ = (int64_t(frameCount_) + 1) * stride_ > kMaxDepth ? kMaxDepth / stride_ - 2 : 0;
}

uint16_t TDepthLayout::Depth(int32_t l, int32_t offset) const {
  const int64_t frame = cycle_ ? (int64_t(l) - 1) % cycle_ + 1 : l;
  return uint16_t(frame * stride_ + offset);
}

uint16_t TDepthLayout::Link() const {
  return uint16_t((int64_t(cycle_ ? cycle_ + 1 : frameCount_) + 1) * stride_);
}

int32_t SwfFramesForDelay(int32_t delay) {
  return int32_t(std::max<int64_t>(int64_t(delay) * 100 / 1000, 1));
}

int64_t MovieSwfFrames(const project::TProjectDocument& doc) {
  int64_t frames = 0;
  for (int32_t count : SwfFrameCounts(doc)) frames += count;
  return frames;
}

std::vector<int32_t> SwfFrameCounts(const project::TProjectDocument& doc) {
  std::vector<int32_t> counts;
  for (int32_t l = 1; l <= doc.FrameCount; ++l)
    counts.push_back(SwfFramesForDelay(doc.Frames[size_t(l)].Delay));
  return counts;
}

std::string MovieLengthError(const project::TProjectDocument& doc) {
  const int64_t frames = MovieSwfFrames(doc);
  if (frames <= kMaxSwfFrames) return "";
  return "The movie runs " + SecondsText(frames) + " s (" + std::to_string(frames) +
         " frames of 10 ms); an SWF movie can count at most " + std::to_string(kMaxSwfFrames) +
         " frames (" + SecondsText(kMaxSwfFrames) + " s). Shorten the frames' delays.";
}

TMovieBuilder::TMovieBuilder(project::TProjectDocument& doc, IBuildHost& host, bool wholeMovie,
                             const TBuildOptions& options)
    : doc_(doc), host_(host), whole_(wholeMovie), options_(options), cacheDir_(host.CacheDir()) {}

TMovieBuilder::~TMovieBuilder() = default;

void TMovieBuilder::Build() {
  try {
    FillMovie();
  } catch (const swf::ETooManyCharacters&) {
    throw TMovieGenError(kTooManyCharacters);
  }
}

void TMovieBuilder::FillMovie() {
  CreateMovieObject();
  MeasureTexts();
  movie_->Protect("");
  if (whole_) {
    first_ = 1;
    last_ = doc_.FrameCount;
  } else {
    first_ = last_ = std::clamp(doc_.CurrentFrame, 1, std::max(doc_.FrameCount, 1));
  }
  ChooseDepthLayout();
  RegisterFonts();
  RegisterBackgrounds();
  RegisterPictures();
  RegisterButtonImages();
  if (whole_) {
    // The editor's frame neither starts a sound nor has buttons to play one:
    // its movie goes without them, which spares reading and packing them
    // after every edit.
    RegisterSounds();
    StartBackgroundSound();
    AddLinkButton();
  }
  for (int32_t l = first_; l <= last_; ++l) BuildFrame(l);
  movie_->MakeData();
  TImageStore::Shared().Keep(freshImages_);
  if (derivedChanged_) host_.RefreshPropertyPanel();
}

void TMovieBuilder::CreateMovieObject() {
  const project::TMovieSettings& s = doc_.Settings;
  movie_ =
      std::make_unique<swf::TFlashMovie>(0, 0, Twips(s.MWidth), Twips(s.MHeight), 12.0f, false);
  movie_->Clear();
  movie_->SetCoordsInPixels(true);
  movie_->SetVersion(6);
  movie_->SetCompressed(!options_.Uncompressed);
  movie_->SetFPS(100.0f);
}

// The stride keeps every slot, the border and the next frame's background on
// depths of their own, also when slots above 251 are used (the warning is
// still given).
void TMovieBuilder::ChooseDepthLayout() {
  const int32_t stride = DepthStride(doc_);
  if (stride > 255) host_.ShowWarning(kTooManyObjects);
  depths_ = TDepthLayout(doc_.FrameCount, stride);
}

const std::string& TMovieBuilder::Resolve(const std::string& stored) {
  auto [it, added] = resolved_.try_emplace(stored);
  if (added && !stored.empty())
    it->second = project::ResolveMediaPath(stored, doc_.TempDir, doc_.ProgramDir);
  return it->second;
}

swf::TFlashImage& TMovieBuilder::AddImageFile(const std::string& path) {
  return TImageStore::Shared().Add(*movie_, path, freshImages_);
}

swf::TFlashImage* TMovieBuilder::FindImage(TImageKind kind, const std::string& name, int32_t alpha,
                                           int state) const {
  auto it = images_.find({kind, name, alpha, state});
  return it == images_.end() ? nullptr : it->second;
}

void TMovieBuilder::RegisterSounds() {
  auto add = [this](const std::string& stored) {
    const std::string& path = Resolve(stored);
    if (path.empty() || sounds_.count(path)) return;
    sounds_[path] = movie_->AddSound(path).GetCharacterID();
  };
  add(doc_.Settings.MBkgrSound);
  for (int32_t l = first_; l <= last_; ++l) {
    const project::TFrameRec& frame = doc_.Frames[size_t(l)];
    for (int e = 1; e <= LastSlot(); ++e)
      if (frame.Slots[e].Object == project::skButton) add(frame.Slots[e].SoundEv);
  }
}

// Started once in frame 1; SyncNoMultiple keeps a looping movie from
// starting it again while it still plays.
void TMovieBuilder::StartBackgroundSound() {
  const std::string& path = Resolve(doc_.Settings.MBkgrSound);
  if (path.empty()) return;
  swf::TSWFStartSound& start = movie_->StartSound(sounds_.at(path));
  start.HasLoops = false;
  start.SyncNoMultiple = true;
}

// An invisible, clickable rectangle over the stage, placed before frame 1
// above every frame's depths, so it stays on top for the whole movie. The
// shapes are made before the button so that they are defined before it.
void TMovieBuilder::AddLinkButton() {
  const project::TMovieSettings& s = doc_.Settings;
  if (Trimmed(s.MainURL).empty()) return;
  swf::TFlashShape& shape = movie_->AddRectangle(1, 1, s.MWidth - 1, s.MHeight - 1);
  shape.SetSolidColor(0, 255, 0, 0);
  swf::TFlashButton& button = movie_->AddButton(false, true);
  for (uint8_t states : {kUp | kHitTest, kDown | kHitTest, kOver | kHitTest})
    button.AddRecord(shape, states, 1);
  button.ReleaseActions().GetURL(s.MainURL, "_blank");
  movie_->PlaceObject(&button, depths_.Link());
}

void TMovieBuilder::BuildFrame(int32_t l) {
  if (l != first_) RemovePreviousFrame(l);
  frameDepths_.clear();
  PlaceBackground(l);
  project::TFrameRec& frame = doc_.Frames[size_t(l)];
  for (int e = 1; e <= LastSlot(); ++e)
    if (frame.Slots[e].Object != project::skNone) DrawObject(l, e, frame.Slots.Edit(e));
  PlaceBorder(l);
  if (doc_.Settings.MLoop == 0 && l == doc_.FrameCount) movie_->FrameActions().Stop();
  if (!whole_) {
    movie_->ShowFrame(kSingleFrameLength);
    return;
  }
  // A frame counter of 16 bits: very long delays are shown in pieces.
  for (int32_t count = SwfFramesForDelay(doc_.Frames[size_t(l)].Delay); count > 0; count -= 0xFFFF)
    movie_->ShowFrame(uint16_t(std::min(count, 0xFFFF)));
}

// Nothing of the previous frame survives. By default every depth up to this
// frame's background goes, in ascending order; a compact build removes only
// what the previous frame placed, also in ascending order, which leaves the
// same display list (the link above every frame stays in both).
void TMovieBuilder::RemovePreviousFrame(int32_t l) {
  if (!options_.Compact) {
    movie_->RemoveObjects(0, depths_.RemovalTop(l));
    return;
  }
  std::sort(frameDepths_.begin(), frameDepths_.end());
  frameDepths_.erase(std::unique(frameDepths_.begin(), frameDepths_.end()), frameDepths_.end());
  for (uint16_t depth : frameDepths_) movie_->RemoveObject(depth);
}

swf::TFlashPlaceObject& TMovieBuilder::PlaceAt(swf::TFlashVisualObject& object, uint16_t depth) {
  frameDepths_.push_back(depth);
  return movie_->PlaceObject(&Shared(object), depth);
}

swf::TFlashVisualObject& TMovieBuilder::Shared(swf::TFlashVisualObject& made) {
  if (!options_.Compact || !whole_) return made;
  auto [it, added] = definitions_.try_emplace(DefinitionKey(made, movie_->Version()), &made);
  if (added || it->second == &made || !movie_->DiscardLastCharacter(made)) return made;
  return *it->second;
}

std::mutex& TMovieBuilder::CacheLock() {
  static std::mutex lock;
  return lock;
}

// The object's geometry is built around its anchor turned by Angle; the
// placement turns it back, so the anchor stays at (X, Y) on the stage and the
// object is shown turned about it.
void TMovieBuilder::DrawObject(int32_t l, int e, TShapeRec& slot) {
  const double a = double(slot.Angle) * M_PI / 180.0;
  const double x = slot.X, y = slot.Y;
  const auto round = [](double v) {
    return int32_t(std::clamp(std::nearbyint(v), double(INT32_MIN), double(INT32_MAX)));
  };
  int32_t rx = round(x * std::cos(a) - y * std::sin(a));
  int32_t ry = round(x * std::sin(a) + y * std::cos(a));
  const bool atOrigin = DrawsAtOrigin(slot);
  if (atOrigin) rx = ry = 0;
  swf::TFlashPlaceObject* placed = nullptr;
  switch (slot.Object) {
    case project::skRectangle:
    case project::skRoundRect:
    case project::skCircle:
    case project::skEllipse:
    case project::skDiamond:
    case project::skStar:
      placed = DrawShape(l, e, slot, rx, ry);
      break;
    case project::skText:
      placed = DrawText(l, e, slot, rx, ry);
      break;
    case project::skPicture:
      placed = DrawPicture(l, e, slot, rx, ry);
      break;
    case project::skButton:
      placed = DrawButton(l, e, slot, rx, ry);
      break;
    default:
      break;
  }
  // Unturned, the anchor is (X, Y) itself.
  if (placed && atOrigin) placed->PlaceTag().Matrix().SetTranslate(Twips(slot.X), Twips(slot.Y));
}

// An unturned object drawn at the origin and moved by whole twips has the
// geometry it would have at its anchor, so a compact build may define it
// once and show it anywhere (Shared). A turned one would not: the
// placement's translation would be rounded to whole twips after turning.
// The bounds keep every coordinate far from where drawing at the anchor
// would clamp it.
bool TMovieBuilder::DrawsAtOrigin(const TShapeRec& slot) const {
  constexpr int32_t kLimit = 1 << 20;
  const auto within = [](int32_t v) { return v > -kLimit && v < kLimit; };
  return options_.Compact && whole_ && slot.Angle == 0 && within(slot.X) && within(slot.Y) &&
         within(slot.W) && within(slot.H) && within(slot.Radius);
}

swf::TFlashPlaceObject& TMovieBuilder::Place(swf::TFlashVisualObject& object, int32_t l, int e,
                                             int32_t angle) {
  swf::TFlashPlaceObject& place = PlaceAt(object, depths_.Object(l, e));
  place.SetRotate(float(angle));
  return place;
}

void TMovieBuilder::SetDerived(int32_t& field, int32_t value) {
  if (field != value) derivedChanged_ = true;
  field = value;
}

void TMovieBuilder::SetDerivedAlpha(uint8_t& field, uint8_t value) {
  if (field != value) derivedChanged_ = true;
  field = value;
}

std::string CreateMovie(project::TProjectDocument& doc, IBuildHost& host, bool wholeMovie,
                        bool deleteAfterLoad, bool refresh, const TBuildOptions& options) {
  if (host.UpdateGuard()) return "";
  if (wholeMovie) {
    const std::string tooLong = MovieLengthError(doc);
    if (!tooLong.empty()) throw TMovieGenError(tooLong);
  }
  host.PlaceStage(doc.Settings.MWidth, doc.Settings.MHeight);
  const std::string fileName = NewMovieFileName(doc.TempDir);
  {
    TMovieBuilder builder(doc, host, wholeMovie, options);
    builder.Build();
    builder.Movie().SaveToFile(fileName);
  }
  // The player gets its mouse-down handler back and the file goes, also when
  // loading fails.
  struct TAfterLoad {
    IBuildHost& Host;
    const std::string& File;
    bool Delete;
    ~TAfterLoad() {
      if (Delete) {
        std::error_code ignored;
        std::filesystem::remove(File, ignored);
      }
      Host.PlayerLoadFinished();
    }
  };
  host.PlayerLoadStarting();
  TAfterLoad after{host, fileName, deleteAfterLoad};
  if (!wholeMovie) {
    host.LoadMovie(fileName, refresh);
    host.ShowFrame(doc.CurrentFrame);
  }
  return fileName;
}

std::vector<uint8_t> CreateFrameBytes(project::TProjectDocument& doc, IBuildHost& host) {
  TMovieBuilder builder(doc, host, false, {});
  builder.Build();
  // Read at once in memory: compressing would only cost the writer and the reader.
  builder.Movie().SetCompressed(false);
  return builder.Movie().SaveToBytes();
}

}  // namespace moviegen
