#include "lv2/Lv2Panel.h"

#include <lv2/instance-access/instance-access.h>

#include <cstring>
#include <string>

#include "editor/ADEditor.h"
#include "effect/Tavola.h"
#include "gui/CFrame.h"
#include "gui/PlatformWindow.h"
#include "lv2/Lv2Effect.h"
#include "platform/StandardError.h"

using namespace tavola::lv2;

namespace {

void report(const std::string& text) {
  const std::string line = "Tavola: " + text + "\n";
  tavola::writeToStandardError(line.data(), line.size());
}

const void* featureData(const LV2_Feature* const* features, const char* uri) {
  if (!features) return nullptr;
  for (const LV2_Feature* const* f = features; *f; ++f)
    if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
  return nullptr;
}

}  // namespace

std::unique_ptr<Lv2Panel> Lv2Panel::create(LV2UI_Write_Function write, LV2UI_Controller controller,
                                           LV2UI_Widget* widget,
                                           const LV2_Feature* const* features) {
  auto* instance =
      static_cast<Lv2Effect*>(const_cast<void*>(featureData(features, LV2_INSTANCE_ACCESS_URI)));
  void* parent = const_cast<void*>(featureData(features, LV2_UI__parent));
  if (!instance) {
    report("the panel needs a host that gives it the plug-in instance (instance access)");
    return nullptr;
  }
  if (!write || !widget || !instance->effect().panel()) return nullptr;
  if (instance->attachedPanel()) {
    report("the plug-in's panel is open already");
    return nullptr;
  }
  const auto* touch = static_cast<const LV2UI_Touch*>(featureData(features, LV2_UI__touch));
  std::unique_ptr<Lv2Panel> panel(new Lv2Panel(*instance, write, controller, touch));
  *widget = nullptr;
  if (parent) {
    if (!panel->openIn(parent)) return nullptr;
    ADEditor* editor = instance->effect().panel();
    *widget =
        reinterpret_cast<LV2UI_Widget>(editor->getFrame()->getPlatformWindow()->nativeHandle());
    if (const auto* resize =
            static_cast<const LV2UI_Resize*>(featureData(features, LV2_UI__resize)))
      resize->ui_resize(resize->handle, ADEditor::kWidth, ADEditor::kHeight);
  }
  instance->attachPanel(panel.get());
  return panel;
}

bool Lv2Panel::openIn(void* parent) {
  ADEditor* editor = instance_.effect().panel();
  if (!parent || !editor->open(parent)) return false;
  const VSTGUI::PlatformWindow* window = editor->getFrame()->getPlatformWindow();
  if (!window || window->nativeHandle() == 0) {
    editor->close();
    return false;
  }
  return true;
}

int Lv2Panel::show() {
  ADEditor* editor = instance_.effect().panel();
  if (editor->isOpen()) return 0;
  if (!openIn(VSTGUI::desktopRootWindow())) return 1;
  editor->getFrame()->getPlatformWindow()->setTitle(Tavola::kEffectName);
  return 0;
}

int Lv2Panel::hide() {
  instance_.effect().panel()->close();
  return 0;
}

Lv2Panel::Lv2Panel(Lv2Effect& instance, LV2UI_Write_Function write, LV2UI_Controller controller,
                   const LV2UI_Touch* touch)
    : instance_(instance), write_(write), controller_(controller), touch_(touch) {
  // The host's ports and the effect agree when the panel opens: the last run applied them.
  for (const ControlPort& control : controlPorts())
    hostSteps_[portIndexOf(control) - kFirstControlPort] =
        stepOfNormalised(control, instance_.effect().getParameter(control.parameter));
}

Lv2Panel::~Lv2Panel() {
  instance_.attachPanel(nullptr);
  if (ADEditor* editor = instance_.effect().panel()) editor->close();
}

void Lv2Panel::portEvent(unsigned port, unsigned size, unsigned format, const void* buffer) {
  const ControlPort* control = controlPortAt(port);
  if (!control || format != 0 || size != sizeof(float) || !buffer) return;
  float value = 0.0f;
  std::memcpy(&value, buffer, sizeof value);
  const int step = stepOfPortValue(*control, value);
  if (step < 0) return;
  hostSteps_[port - kFirstControlPort] = step;
  Tavola& effect = instance_.effect();
  if (stepOfNormalised(*control, effect.getParameter(control->parameter)) != step)
    effect.setParameter(control->parameter, normalisedOfStep(*control, step));
}

int Lv2Panel::idle() {
  ADEditor* editor = instance_.effect().panel();
  if (editor->isOpen()) editor->idle();
  tellHostWhatChanged();
  return 0;
}

void Lv2Panel::hostAutomate(int parameter, float normalised) {
  if (const ControlPort* control = controlPortOfParameter(parameter))
    tellHost(*control, stepOfNormalised(*control, normalised));
}

void Lv2Panel::hostGesture(int parameter, bool begin) {
  const ControlPort* control = controlPortOfParameter(parameter);
  if (control && touch_ && touch_->touch)
    touch_->touch(touch_->handle, portIndexOf(*control), begin);
}

void Lv2Panel::tellHost(const ControlPort& control, int step) {
  int& hostStep = hostSteps_[portIndexOf(control) - kFirstControlPort];
  if (hostStep == step) return;
  hostStep = step;
  const float value = static_cast<float>(stepValue(control, step));
  write_(controller_, portIndexOf(control), sizeof value, 0, &value);
}

void Lv2Panel::tellHostWhatChanged() {
  Tavola& effect = instance_.effect();
  for (const ControlPort& control : controlPorts())
    tellHost(control, stepOfNormalised(control, effect.getParameter(control.parameter)));
}
