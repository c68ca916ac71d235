#include "editor/ADEditor.h"

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "controls/CAbout.h"
#include "controls/CAnimKnob3.h"
#include "controls/CLED.h"
#include "controls/CZEBOnOffButton.h"
#include "editor/MyFrame.h"
#include "editor/PanelMeters.h"
#include "editor/valuetext/ValueText.h"
#include "gui/CBitmap.h"
#include "gui/CParamDisplay.h"
#include "host/AudioEffect.h"
#include "resources/PanelImages.h"
#include "resources/PanelLayout.h"

using namespace VSTGUI;
namespace panel = tavola::panel;

namespace {

// The panel's knobs: parameter, picture, frames, place, default, drag settings.
struct KnobPlan {
  int tag;
  int image;
  int frames;
  panel::Place place;
  float defaultValue;
  double rangeZoom;
  double shiftZoom;
  CAnimKnob3::FramePick framePick;
};

// The gains and the output show the nearest frame; a frequency knob points at the
// frequency in use, not at the nearer of two.
constexpr auto kNearest = CAnimKnob3::FramePick::kNearest;
constexpr auto kInUse = CAnimKnob3::FramePick::kStepInUse;

struct SwitchPlan {
  int tag;
  int image;
  panel::Place place;
};

// The panel's order of creation, which is also the order of drawing.
enum class Kind { kKnob, kSwitch, kLamp };
struct PanelEntry {
  Kind kind;
  int index;
};

constexpr KnobPlan kKnobs[] = {
    {6, panel::kOutputKnob, 65, panel::kOutputKnobAt, 0.5f, 0.5, 2.0, kNearest},
    {9, panel::kHpfFreqKnob, 13, panel::kHpfFreqAt, 0.0f, 0.25, 1.0, kInUse},
    {13, panel::kLfFreqKnob, 13, panel::kLfFreqAt, 0.5f, 0.25, 1.0, kInUse},
    {15, panel::kLfGainKnob, 25, panel::kLfGainAt, 0.5f, 0.5, 2.0, kNearest},
    {21, panel::kMfFreqKnob, 13, panel::kMfFreqAt, 0.5f, 0.25, 1.0, kInUse},
    {23, panel::kMfGainKnob, 25, panel::kMfGainAt, 0.5f, 0.5, 2.0, kNearest},
    {25, panel::kHfFreqKnob, 13, panel::kHfFreqAt, 0.5f, 0.25, 1.0, kInUse},
    {27, panel::kHfGainKnob, 25, panel::kHfGainAt, 0.5f, 0.5, 2.0, kNearest},
};

constexpr SwitchPlan kSwitches[] = {
    {0, panel::kEqAllButton, panel::kEqAllAt}, {7, panel::kSatButton, panel::kSatAt},
    {8, panel::kHpfButton, panel::kHpfAt},     {12, panel::kLfButton, panel::kLfAt},
    {20, panel::kMfButton, panel::kMfAt},      {24, panel::kHfButton, panel::kHfAt},
};

constexpr PanelEntry kPanelOrder[] = {
    {Kind::kKnob, 0},   {Kind::kLamp, 0},   {Kind::kSwitch, 0}, {Kind::kSwitch, 1},
    {Kind::kSwitch, 2}, {Kind::kKnob, 1},   {Kind::kSwitch, 3}, {Kind::kKnob, 2},
    {Kind::kKnob, 3},   {Kind::kSwitch, 4}, {Kind::kKnob, 4},   {Kind::kKnob, 5},
    {Kind::kSwitch, 5}, {Kind::kKnob, 6},   {Kind::kKnob, 7},
};

CRect placed(panel::Place place, const CBitmap& bitmap, int frames) {
  const CCoord height = static_cast<int>(bitmap.getHeight() / frames);
  return CRect(place.x, place.y, place.x + bitmap.getWidth(), place.y + height);
}

CRect areaRect(panel::Area area) {
  return CRect(area.left, area.top, area.right, area.bottom);
}

bool isPanelParameter(int index) {
  switch (index) {
    case 0:
    case 6:
    case 7:
    case 8:
    case 9:
    case 12:
    case 13:
    case 15:
    case 20:
    case 21:
    case 23:
    case 24:
    case 25:
    case 27:
      return true;
    default:
      return false;
  }
}

void registerPanelImages() {
  // Once per process: every instance draws from the same embedded pictures.
  static const bool registered = [] {
    registerImageResources(tavola::panel::panelImages());
    return true;
  }();
  (void)registered;
}

}  // namespace

ADEditor::ADEditor(CPresetSystemEffect& bank, PanelMeters& meters)
    : CPresetSystemEditor(bank), meters_(meters) {
  rect_ = ERect{0, 0, kHeight, kWidth};
}

ADEditor::~ADEditor() {
  if (frame_) close();
}

CFrame* ADEditor::makeFrame(void* parentWindow) {
  registerPanelImages();
  auto* background = new CBitmap(panel::kBackground);
  if (!background->isLoaded()) {
    background->forget();
    return nullptr;
  }
  const CRect size(rect_.left, rect_.top, rect_.left + background->getWidth(),
                   rect_.top + background->getHeight());
  auto* frame = new MyFrame(size, parentWindow, this);
  if (parentWindow && !frame->hasWindow()) {
    frame->forget();
    background->forget();
    return nullptr;
  }
  frame->setBackground(background);
  background_ = background;
  return frame;
}

void ADEditor::buildPanel() {
  setKnobMode(2);
  // Whatever the host sent while closed is in the controls' first values already.
  pendingValues_.store(0);
  latencyPending_.store(false);
  createControls();
  CPresetSystemEditor::buildPanel();
  frame_->setDirty(true);
}

void ADEditor::createControls() {
  const auto makeReadOut = [&](panel::Area area, float value,
                               CParamDisplay::StringConvert convert) {
    auto* display = new CParamDisplay(areaRect(area), background_, 0);
    display->setBackOffset(CPoint(area.left, area.top));
    display->setHoriAlign(kLeftText);
    display->setFont(kNormalFontVerySmall);
    display->setFontColor(kDarkGreyCColor);
    display->setMin(0.0f);
    display->setMax(10000.0f);
    display->setValue(value);
    display->setStringConvert(convert);
    frame_->addView(display);
    return display;
  };
  latencyMs_ =
      makeReadOut(panel::kLatencyMsArea, meters_.latencyMilliseconds.load(PanelMeters::kRelaxed),
                  msStringConvert);
  latencySamples_ =
      makeReadOut(panel::kLatencySamplesArea, meters_.latencySamples.load(PanelMeters::kRelaxed),
                  smpStringConvert);

  for (const PanelEntry& entry : kPanelOrder) {
    if (entry.kind == Kind::kLamp) {
      auto* bitmap = new CBitmap(panel::kClipLamp);
      clipLamp_ = new CLED(placed(panel::kClipLampAt, *bitmap, 3), this, kClipLampTag, bitmap);
      clipLamp_->setValue(0.0f);
      frame_->addView(clipLamp_);
      bitmap->forget();
      continue;
    }
    CControl* control = nullptr;
    if (entry.kind == Kind::kKnob) {
      const KnobPlan& knobPlan = kKnobs[entry.index];
      auto* bitmap = new CBitmap(knobPlan.image);
      const CRect size = placed(knobPlan.place, *bitmap, knobPlan.frames);
      auto* knob = new CAnimKnob3(
          size, this, knobPlan.tag, knobPlan.frames, static_cast<int>(bitmap->getWidth()),
          static_cast<int>(size.height()), bitmap, CPoint(knobPlan.place.x, knobPlan.place.y));
      knob->setDefaultValue(knobPlan.defaultValue);
      knob->rangeZoom = knobPlan.rangeZoom;
      knob->setShiftZoom(knobPlan.shiftZoom);
      knob->setFramePick(knobPlan.framePick);
      bitmap->forget();
      control = knob;
    } else {
      const SwitchPlan& switchPlan = kSwitches[entry.index];
      auto* bitmap = new CBitmap(switchPlan.image);
      control = new CZEBOnOffButton(placed(switchPlan.place, *bitmap, 2), this, switchPlan.tag,
                                    bitmap, 0);
      bitmap->forget();
    }
    control->setValue(effect_->getParameter(static_cast<VstInt32>(control->getTag())));
    controls_[static_cast<std::size_t>(control->getTag())] = control;
    frame_->addView(control);
  }

  auto* aboutPicture = new CBitmap(panel::kAboutPicture);
  about_ = new CAbout(areaRect(panel::kAboutArea), this, kAboutTag, aboutPicture,
                      CRect(0, 0, aboutPicture->getWidth(), aboutPicture->getHeight()),
                      CPoint(0, 0), CPoint(384, 100));
  frame_->addView(about_);
  aboutPicture->forget();
}

void ADEditor::tearDownPanel() {
  CPresetSystemEditor::tearDownPanel();
  latencyMs_ = latencySamples_ = nullptr;
  clipLamp_ = nullptr;
  about_ = nullptr;
  controls_.fill(nullptr);
  // The frame keeps its own hold on the background until it goes.
  if (background_) {
    background_->forget();
    background_ = nullptr;
  }
}

CControl* ADEditor::controlForTag(long tag) const {
  if (tag == kClipLampTag) return clipLamp_;
  if (tag == kAboutTag) return about_;
  if (tag < 0 || tag >= kMirrors) return nullptr;
  return controls_[static_cast<std::size_t>(tag)];
}

void ADEditor::setParameter(VstInt32 index, float value) {
  if (!isPanelParameter(index)) return;
  hostValues_[static_cast<std::size_t>(index)].store(value, std::memory_order_relaxed);
  // Release: the idle that sees the bit sees the value.
  pendingValues_.fetch_or(1u << index, std::memory_order_release);
}

void ADEditor::internalSampleRateChanged() {
  latencyPending_.store(true, std::memory_order_release);
  lampJoltPending_.store(true, std::memory_order_release);
}

void ADEditor::resume() {
  latencyPending_.store(true, std::memory_order_release);
}

void ADEditor::applyHostChanges() {
  std::uint32_t pending = pendingValues_.exchange(0, std::memory_order_acquire);
  if (!pending) return;
  for (int index = 0; index < kMirrors; ++index)
    if (pending & (1u << index))
      applyHostChange(index,
                      hostValues_[static_cast<std::size_t>(index)].load(std::memory_order_relaxed));
  frame_->setDirty(true);
}

void ADEditor::applyHostChange(int index, float value) {
  CControl* control = controls_[static_cast<std::size_t>(index)];
  if (!control) return;
  switch (index) {
    case 0:
      control->setValue(value);
      refreshLatency();
      break;
    case 6:
    case 8:
      control->setValue(value);
      control->setDirty(true);
      break;
    case 25: {
      // The high band's knob shows the host's value cut to a hundredth, as long as the cut
      // keeps the frequency step the effect uses (12 steps above the first).
      const float cut = static_cast<float>(static_cast<int>(value * 100.0f)) / 100.0f;
      const auto step = [](float v) { return static_cast<int>(12.0 * static_cast<double>(v)); };
      control->setValue(step(cut) == step(value) ? cut : value);
      break;
    }
    default:
      control->setValue(value);
  }
}

void ADEditor::refreshLatency() {
  if (latencyMs_) latencyMs_->setValue(meters_.latencyMilliseconds.load(PanelMeters::kRelaxed));
  if (latencySamples_)
    latencySamples_->setValue(meters_.latencySamples.load(PanelMeters::kRelaxed));
}

void ADEditor::updateClipLamp() {
  constexpr auto kRelaxed = PanelMeters::kRelaxed;
  if (meters_.peakLevel.load(kRelaxed) >= 1.0) {
    meters_.clipState.store(1.0, kRelaxed);
    meters_.peakLevel.store(0.0, kRelaxed);
  } else {
    meters_.clipState.store(meters_.clipState.load(kRelaxed) >= 0.5 ? 0.5 : 0.0, kRelaxed);
  }
  if (clipLamp_ && about_ && about_->getValue() == 0.0f)
    clipLamp_->setValue(static_cast<float>(meters_.clipState.load(kRelaxed)));
}

void ADEditor::idle() {
  if (frame_) {
    applyHostChanges();
    if (latencyPending_.exchange(false, std::memory_order_acquire)) refreshLatency();
    // A value that shows as off but differs from the last one: the lamp is drawn again.
    if (lampJoltPending_.exchange(false, std::memory_order_acquire) && clipLamp_)
      clipLamp_->setValue(static_cast<float>(std::rand() * 1e-15));
  }
  updateClipLamp();
  CPresetSystemEditor::idle();
}

void ADEditor::valueChanged(CControl* control) {
  CPresetSystemEditor::valueChanged(control);
  const long tag = control->getTag();
  if (isPanelParameter(static_cast<int>(tag))) {
    effect_->setParameterAutomated(static_cast<VstInt32>(tag), control->getValue());
    return;
  }
  if (tag == kClipLampTag && frame_ && (frame_->getCurrentMouseButtons() & kLButton)) {
    clipLamp_->resetHold();
    clipLamp_->setDirty(true);
    if (CControl* output = controls_[6]) output->setDirty(true);
    meters_.peakLevel.store(0.0, PanelMeters::kRelaxed);
    meters_.clipState.store(0.0, PanelMeters::kRelaxed);
  }
}

bool ADEditor::writePicture(const char* path) {
  if (!frame_) return false;
  idle();
  frame_->redraw();
  const std::string partial = std::string(path) + ".partial";
  if (cairo_surface_write_to_png(frame_->getBuffer(), partial.c_str()) != CAIRO_STATUS_SUCCESS) {
    std::remove(partial.c_str());
    return false;
  }
  return std::rename(partial.c_str(), path) == 0;
}
