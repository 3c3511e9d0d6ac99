#pragma once
// TFlashActionScript: an action list written as one DoAction tag (frame
// actions, and a button's release actions).
#include <memory>
#include <string>

#include "swf/objects/flash_object.h"
#include "swf/tags/actions.h"

namespace swf {

class TFlashActionScript : public TFlashObject {
 public:
  // Uses list (not owned), or makes and owns a new one.
  explicit TFlashActionScript(TFlashMovie* owner, TSWFActionList* list = nullptr);

  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return list_->MaxMinVersion(1); }
  void WriteToStream(TBitsEngine& be) override;

  TSWFAction& Action(size_t i) const { return (*list_)[i]; }
  TSWFActionList& Actions() const { return *list_; }
  bool OwnsList() const { return ownList_ != nullptr; }
  void SetList(TSWFActionList& list);

  TSWFActionGetUrl& GetURL(const std::string& url, const std::string& target);
  TSWFActionStop& Stop();

 private:
  std::unique_ptr<TSWFActionList> ownList_;
  TSWFActionList* list_;
};

}  // namespace swf
