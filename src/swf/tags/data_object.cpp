#include "swf/tags/data_object.h"

namespace swf {

void TSWFDataObject::Assign(const TBasedSWFObject& source) {
  TSWFObject::Assign(source);
  if (auto* same = dynamic_cast<const TSWFDataObject*>(&source)) {
    Data = same->Data;
    OnDataWrite = same->OnDataWrite;
  }
}

void TSWFDataObject::WriteData(TBitsEngine& be) {
  if (OnDataWrite) OnDataWrite(*this, be);
  else be.WriteBytes(Data.data(), long(Data.size()));
}

}  // namespace swf
