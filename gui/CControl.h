#pragma once
// A view with a value: the value and the value last drawn, its range and default, the tag
// that names it to its listener, and the edit bracket that tells the host a gesture begins
// and ends.
//
// The change test: a control is dirty while its value differs from the value it last drew
// (draw ends with setDirty(false)), so a value set from outside is drawn at the next idle
// and a value set twice to the same number costs nothing.

#include "gui/CView.h"

namespace VSTGUI {

class CControl;

class CControlListener {
 public:
  virtual ~CControlListener() = default;
  virtual void valueChanged(CControl* control) = 0;
};

class CControl : public CView {
 public:
  CControl(const CRect& size, CControlListener* listener = nullptr, long tag = 0,
           CBitmap* background = nullptr);

  // With notify the listener hears of the change (when the value did change).
  virtual void setValue(float value, bool notify = false);
  float getValue() const { return value_; }
  float getOldValue() const { return oldValue_; }
  void setOldValue(float value) { oldValue_ = value; }
  void setMin(float value) { min_ = value; }
  float getMin() const { return min_; }
  void setMax(float value) { max_ = value; }
  float getMax() const { return max_; }
  void setDefaultValue(float value) { default_ = value; }
  float getDefaultValue() const { return default_; }
  void setWheelInc(float increment) { wheelInc_ = increment; }
  float getWheelInc() const { return wheelInc_; }
  long getTag() const { return tag_; }
  void setTag(long tag) { tag_ = tag; }
  CControlListener* getListener() const { return listener_; }
  void setListener(CControlListener* listener) { listener_ = listener; }

  // Keeps the value within the range.
  void bounceValue();
  // The host hears of a gesture through the frame's editor; nothing happens off a frame.
  // A control has at most one gesture open: a second begin is not sent, nor an end
  // without a begin, and a gesture still open when the control leaves the frame or loses
  // its drag ends then.
  virtual void beginEdit();
  virtual void endEdit();
  bool inGesture() const { return inGesture_; }
  // A change of the control's own that is not part of a drag (a wheel step, a key, a
  // default click): the listener hears it inside a gesture of its own, or inside the
  // drag's when one is open.
  void changedInOneGesture();

  void onMouseCancel() override;
  void removed() override;

  bool isDirty() const override;
  // true forces a redraw; false marks the value as drawn.
  void setDirty(bool dirty = true) override;

  bool isTypeOf(const char* name) const override {
    return std::strcmp(name, "CControl") == 0 || CView::isTypeOf(name);
  }

 protected:
  CControlListener* listener_;
  long tag_;
  float value_ = 0.0f;
  float oldValue_ = 1.0f;
  float min_ = 0.0f;
  float max_ = 1.0f;
  float default_ = 0.5f;
  float wheelInc_ = 0.1f;

 private:
  bool inGesture_ = false;
};

}  // namespace VSTGUI
