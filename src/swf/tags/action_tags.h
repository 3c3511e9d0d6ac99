#pragma once
// DoAction and DoInitAction: an action list as a tag.
#include <memory>

#include "swf/core/swf_object.h"
#include "swf/tags/actions.h"

namespace swf {

class TSWFDoAction : public TSWFObject {
 public:
  // Without a list the tag makes and owns one; with a list it only uses it.
  TSWFDoAction();
  explicit TSWFDoAction(TSWFActionList& actions);
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return Actions().MaxMinVersion(3); }
  void WriteTagBody(TBitsEngine& be) override;

  TSWFActionList& Actions() const { return *actions_; }
  bool OwnsActions() const { return ownList_ != nullptr; }

 private:
  std::unique_ptr<TSWFActionList> ownList_;
  TSWFActionList* actions_;
};

class TSWFDoInitAction : public TSWFDoAction {
 public:
  TSWFDoInitAction() { TagID = tagDoInitAction; }
  explicit TSWFDoInitAction(TSWFActionList& actions) : TSWFDoAction(actions) {
    TagID = tagDoInitAction;
  }
  void Assign(const TBasedSWFObject& source) override;
  int MinVersion() const override { return std::max(6, TSWFDoAction::MinVersion()); }
  void WriteTagBody(TBitsEngine& be) override;

  uint16_t SpriteID = 0;
};

}  // namespace swf
