#include "swf/objects/action_script.h"

#include "swf/tags/action_tags.h"

namespace swf {

TFlashActionScript::TFlashActionScript(TFlashMovie* owner, TSWFActionList* list)
    : TFlashObject(owner) {
  if (!list) {
    ownList_ = std::make_unique<TSWFActionList>();
    list = ownList_.get();
  }
  list_ = list;
}

void TFlashActionScript::SetList(TSWFActionList& list) {
  ownList_.reset();
  list_ = &list;
}

void TFlashActionScript::Assign(const TBasedSWFObject& source) {
  if (auto* s = dynamic_cast<const TFlashActionScript*>(&source)) list_->AppendCopyOf(*s->list_);
}

void TFlashActionScript::WriteToStream(TBitsEngine& be) {
  TSWFDoAction tag(*list_);
  tag.WriteToStream(be);
}

TSWFActionGetUrl& TFlashActionScript::GetURL(const std::string& url, const std::string& target) {
  return list_->Add<TSWFActionGetUrl>(url, target);
}

TSWFActionStop& TFlashActionScript::Stop() { return list_->Add<TSWFActionStop>(); }

}  // namespace swf
