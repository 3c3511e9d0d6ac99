#include "swf/core/control_tags.h"

#include "swf/core/md5_crypt.h"

namespace swf {

void TSWFRemoveObject::Assign(const TBasedSWFObject& source) { AssignSame(*this, source); }

void TSWFRemoveObject::WriteTagBody(TBitsEngine& be) {
  be.WriteWord(CharacterID);
  be.WriteWord(Depth);
}

void TSWFRemoveObject2::Assign(const TBasedSWFObject& source) { AssignSame(*this, source); }

void TSWFRemoveObject2::WriteTagBody(TBitsEngine& be) { be.WriteWord(Depth); }

void TSWFSetBackgroundColor::Assign(const TBasedSWFObject& source) { AssignSame(*this, source); }

void TSWFSetBackgroundColor::WriteTagBody(TBitsEngine& be) { be.WriteRGB(Color.RGB()); }

void TSWFProtect::Assign(const TBasedSWFObject& source) { AssignSame(*this, source); }

void TSWFProtect::WriteTagBody(TBitsEngine& be) {
  if (!Password.empty()) {
    be.WriteWord(0);
    Hash = MD5Crypt(Password);
  }
  if (!Hash.empty()) be.WriteString(Hash);
}

void TSWFFrameLabel::Assign(const TBasedSWFObject& source) { AssignSame(*this, source); }

void TSWFFrameLabel::WriteTagBody(TBitsEngine& be) {
  be.WriteString(Name);
  if (NamedAnchor) be.WriteByte(1);
}

}  // namespace swf
