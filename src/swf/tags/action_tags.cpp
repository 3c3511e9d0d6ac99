#include "swf/tags/action_tags.h"

namespace swf {

TSWFDoAction::TSWFDoAction()
    : ownList_(std::make_unique<TSWFActionList>()), actions_(ownList_.get()) {
  TagID = tagDoAction;
}

TSWFDoAction::TSWFDoAction(TSWFActionList& actions) : actions_(&actions) { TagID = tagDoAction; }

void TSWFDoAction::Assign(const TBasedSWFObject& source) {
  TSWFObject::Assign(source);
  if (auto* same = dynamic_cast<const TSWFDoAction*>(&source)) actions_->AppendCopyOf(same->Actions());
}

void TSWFDoAction::WriteTagBody(TBitsEngine& be) {
  actions_->WriteActions(be);
  be.WriteByte(0);
}

void TSWFDoInitAction::Assign(const TBasedSWFObject& source) {
  TSWFDoAction::Assign(source);
  if (auto* same = dynamic_cast<const TSWFDoInitAction*>(&source)) SpriteID = same->SpriteID;
}

void TSWFDoInitAction::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(SpriteID);
  TSWFDoAction::WriteTagBody(be);
}

}  // namespace swf
