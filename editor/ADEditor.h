#pragma once
// The effect's editor: a fixed 720 x 352 front panel with eight knobs, six switches, the
// clip lamp, the latency read-outs and the about area, above the preset strip.
//
// Every gesture on a control becomes an automated parameter change inside the control's
// edit bracket. Host changes may arrive on any thread, the audio thread included, so they
// never touch a control: they land in one atomic mirror per parameter, and the next idle
// on the user-interface thread puts them into the controls, without telling the effect
// again.

#include <array>
#include <atomic>
#include <cstdint>

#include "presets/CPresetSystemEditor.h"

namespace VSTGUI {
class CParamDisplay;
}
class CAbout;
class CAnimKnob3;
class CLED;
class CZEBOnOffButton;
struct PanelMeters;

class ADEditor : public CPresetSystemEditor {
 public:
  static constexpr int kWidth = 720;
  static constexpr int kHeight = 352;
  static constexpr long kClipLampTag = 64;
  static constexpr long kAboutTag = 61;

  // The panel of `bank`, showing the latency and output level in `meters`.
  ADEditor(CPresetSystemEffect& bank, PanelMeters& meters);
  ~ADEditor() override;

  // UI thread: host changes into the controls, the clip lamp, then the redraw.
  void idle() override;

  // Any thread; only stores into the mirrors.
  void setParameter(VstInt32 index, float value) override;
  // Any thread: the effect's suspend and resume ask for the latency read-outs to be
  // refreshed at the next idle.
  virtual void internalSampleRateChanged();
  virtual void resume();

  // UI thread: a control was changed by the user.
  void valueChanged(VSTGUI::CControl* control) override;

  // UI thread, while open: runs an idle, draws the whole panel and writes it to `path`
  // as a PNG (replacing the file only once the picture is whole).
  bool writePicture(const char* path);

  // The panel's controls while open, for tests and tools: null while closed or unknown.
  VSTGUI::CControl* controlForTag(long tag) const;
  VSTGUI::CParamDisplay* latencyMsDisplay() const { return latencyMs_; }
  VSTGUI::CParamDisplay* latencySamplesDisplay() const { return latencySamples_; }

 private:
  static constexpr int kMirrors = 28;

  // UI thread. Without a parent window the panel draws only into its frame's buffer.
  VSTGUI::CFrame* makeFrame(void* parentWindow) override;
  // The effect's controls, then the preset strip.
  void buildPanel() override;
  void tearDownPanel() override;
  void createControls();
  void applyHostChanges();
  void applyHostChange(int index, float value);
  void refreshLatency();
  void updateClipLamp();

  PanelMeters& meters_;
  VSTGUI::CBitmap* background_ = nullptr;
  VSTGUI::CParamDisplay* latencyMs_ = nullptr;
  VSTGUI::CParamDisplay* latencySamples_ = nullptr;
  CLED* clipLamp_ = nullptr;
  CAbout* about_ = nullptr;
  // By parameter index, for the fourteen parameters the panel shows.
  std::array<VSTGUI::CControl*, kMirrors> controls_{};

  // Written by any thread, read by the idle.
  std::array<std::atomic<float>, kMirrors> hostValues_{};
  std::atomic<std::uint32_t> pendingValues_{0};
  std::atomic<bool> latencyPending_{false};
  std::atomic<bool> lampJoltPending_{false};
};
