// The bundle's shared object: the plug-in's and the panel's descriptors, the only exported
// symbols. Every call reaches an Lv2Effect or an Lv2Panel; nothing thrown leaves here.

#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <string>

#include "lv2/Lv2Effect.h"
#include "lv2/Lv2Panel.h"
#include "lv2/ports/Uris.h"
#include "platform/StandardError.h"

using namespace tavola::lv2;

namespace {

void report(const std::string& text) {
  const std::string line = "Tavola: " + text + "\n";
  tavola::writeToStandardError(line.data(), line.size());
}

const LV2_URID_Map* uridMap(const LV2_Feature* const* features) {
  if (!features) return nullptr;
  for (const LV2_Feature* const* f = features; *f; ++f)
    if ((*f)->URI && std::strcmp((*f)->URI, LV2_URID__map) == 0)
      return static_cast<const LV2_URID_Map*>((*f)->data);
  return nullptr;
}

Lv2Effect* effectOf(LV2_Handle handle) {
  return static_cast<Lv2Effect*>(handle);
}

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*,
                       const LV2_Feature* const* features) {
  try {
    std::unique_ptr<Lv2Effect> effect = Lv2Effect::create(rate);
    if (!effect) {
      report("cannot run at a sample rate of " + std::to_string(rate) + " Hz");
      return nullptr;
    }
    if (const LV2_URID_Map* map = uridMap(features); map && map->map) {
      effect->bankKey = map->map(map->handle, kBankStateUri);
      effect->chunkType = map->map(map->handle, LV2_ATOM__Chunk);
    }
    return effect.release();
  } catch (...) {
    report("the plug-in could not be made");
    return nullptr;
  }
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
  effectOf(handle)->connectPort(port, data);
}

void activate(LV2_Handle handle) {
  effectOf(handle)->activate();
}

void run(LV2_Handle handle, uint32_t frames) {
  effectOf(handle)->run(frames);
}

void deactivate(LV2_Handle handle) {
  effectOf(handle)->deactivate();
}

void cleanup(LV2_Handle handle) {
  delete effectOf(handle);
}

LV2_State_Status saveState(LV2_Handle handle, LV2_State_Store_Function store,
                           LV2_State_Handle storeHandle, uint32_t, const LV2_Feature* const*) {
  Lv2Effect* effect = effectOf(handle);
  if (!effect->bankKey || !effect->chunkType) return LV2_STATE_ERR_NO_FEATURE;
  try {
    const std::string bank = effect->saveBank();
    if (bank.empty()) return LV2_STATE_ERR_UNKNOWN;
    return store(storeHandle, effect->bankKey, bank.data(), bank.size(), effect->chunkType,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status restoreState(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                              LV2_State_Handle retrieveHandle, uint32_t,
                              const LV2_Feature* const*) {
  Lv2Effect* effect = effectOf(handle);
  if (!effect->bankKey || !effect->chunkType) return LV2_STATE_ERR_NO_FEATURE;
  std::size_t size = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
  const void* data = retrieve(retrieveHandle, effect->bankKey, &size, &type, &flags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != effect->chunkType) {
    report("the saved state is not a bank of this plug-in; nothing was changed");
    return LV2_STATE_ERR_BAD_TYPE;
  }
  try {
    std::string reason;
    if (!effect->restoreBank({static_cast<const unsigned char*>(data), size}, reason)) {
      report("the saved state was refused, nothing was changed: " + reason);
      return LV2_STATE_ERR_UNKNOWN;
    }
    return LV2_STATE_SUCCESS;
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

const LV2_State_Interface kStateInterface = {saveState, restoreState};

const void* extensionData(const char* uri) {
  if (uri && std::strcmp(uri, LV2_STATE__interface) == 0) return &kStateInterface;
  return nullptr;
}

const LV2_Descriptor kDescriptor = {kPluginUri, instantiate, connectPort, activate,
                                    run,        deactivate,  cleanup,     extensionData};

Lv2Panel* panelOf(LV2UI_Handle handle) {
  return static_cast<Lv2Panel*>(handle);
}

LV2UI_Handle instantiatePanel(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                              LV2UI_Write_Function write, LV2UI_Controller controller,
                              LV2UI_Widget* widget, const LV2_Feature* const* features) {
  if (!pluginUri || std::strcmp(pluginUri, kPluginUri) != 0) return nullptr;
  try {
    return Lv2Panel::create(write, controller, widget, features).release();
  } catch (...) {
    report("the panel could not be opened");
    return nullptr;
  }
}

void cleanupPanel(LV2UI_Handle handle) {
  delete panelOf(handle);
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer) {
  panelOf(handle)->portEvent(port, size, format, buffer);
}

int idlePanel(LV2UI_Handle handle) {
  try {
    return panelOf(handle)->idle();
  } catch (...) {
    return 1;
  }
}

int showPanel(LV2UI_Handle handle) {
  try {
    return panelOf(handle)->show();
  } catch (...) {
    return 1;
  }
}

int hidePanel(LV2UI_Handle handle) {
  return panelOf(handle)->hide();
}

const LV2UI_Idle_Interface kIdleInterface = {idlePanel};
const LV2UI_Show_Interface kShowInterface = {showPanel, hidePanel};

const void* panelExtensionData(const char* uri) {
  if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
  if (uri && std::strcmp(uri, LV2_UI__showInterface) == 0) return &kShowInterface;
  return nullptr;
}

const LV2UI_Descriptor kPanelDescriptor = {kPanelUri, instantiatePanel, cleanupPanel, portEvent,
                                           panelExtensionData};

}  // namespace

extern "C" {

__attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}

__attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &kPanelDescriptor : nullptr;
}

}  // extern "C"
