#pragma once
// IBuildHost: what a movie build does to the window around it. The editor
// implements it; a headless caller takes THeadlessBuildHost, which only
// prints warnings to standard error.
#include <string>

#include "project/model.h"

namespace moviegen {

class IBuildHost {
 public:
  virtual ~IBuildHost() = default;

  // While set, a build returns at once without doing anything: the editor
  // sets it while its property panel is refreshed, so a refresh never
  // starts builds of its own.
  virtual bool UpdateGuard() const { return false; }
  // The build sets the guard while it copies or cuts picture files.
  virtual void SetUpdateGuard(bool /*on*/) {}

  // The first step of every build: size the editor's player to the stage
  // and centre it in the editing area.
  virtual void PlaceStage(int /*width*/, int /*height*/) {}
  // A frame whose background is the movie's colour shows it through the
  // player's own background.
  virtual void SetPlayerBackground(project::TColor /*color*/) {}
  // The movie is about to be written and loaded: the player's mouse-down
  // handler is detached until PlayerLoadFinished.
  virtual void PlayerLoadStarting() {}
  // A single-frame build loads its movie into the editor's player; with
  // `refresh` the player is hidden and shown again so that it repaints.
  virtual void LoadMovie(const std::string& /*path*/, bool /*refresh*/) {}
  // After loading: show frame `frame` in the player and update the frame
  // counter (see FrameCounterText and PlayerFrameFor in export.h).
  virtual void ShowFrame(int /*frame*/) {}
  virtual void PlayerLoadFinished() {}

  // The build wrote derived values (W and H of texts, pictures and
  // buttons; Alpha of buttons and of pictures that cannot be translucent)
  // into the model: the property panel must show them.
  virtual void RefreshPropertyPanel() {}
  // A warning message box titled "Vellumet".
  virtual void ShowWarning(const std::string& /*message*/) {}

  // Where rendered backgrounds, borders, picture copies and button states
  // are cached across builds.
  virtual std::string CacheDir() const;
};

// For the headless commands: warnings go to standard error, nothing else
// is shown.
class THeadlessBuildHost : public IBuildHost {
 public:
  void ShowWarning(const std::string& message) override;
};

}  // namespace moviegen
