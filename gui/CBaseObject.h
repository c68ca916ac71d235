#pragma once
// The root of the toolkit's objects: reference counting, so that a bitmap or a view can be
// held by several owners and goes when the last lets go, and a class-name test that
// walks the class chain.
//
// Thread contract: user-interface thread only, like every toolkit object.

#include <cstring>

namespace VSTGUI {

class CBaseObject {
 public:
  CBaseObject() = default;
  virtual ~CBaseObject() = default;
  CBaseObject(const CBaseObject&) = delete;
  CBaseObject& operator=(const CBaseObject&) = delete;

  // A new object is held once, by whoever made it.
  void remember() { ++references_; }
  void forget() {
    if (--references_ == 0) delete this;
  }
  int getNbReference() const { return references_; }

  // True for this class's name and every base class's name.
  virtual bool isTypeOf(const char* name) const { return std::strcmp(name, "CBaseObject") == 0; }

 private:
  int references_ = 1;
};

}  // namespace VSTGUI
