#pragma once
// A host's side of the LV2 bundle, as lilv hosts drive it: the bundle's shared object
// loaded by its path, a URID map, the plug-in instantiated, its ports connected to the
// host's buffers and its state saved into and restored from a property store. The VST 2.4
// plug-in of the same build is loaded beside it for comparisons.

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/state/state.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lv2/ports/PortTable.h"
#include "lv2/ports/Uris.h"

namespace tavola::lv2test {

class Lv2Bundle {
 public:
  static const Lv2Bundle& get() {
    static const Lv2Bundle bundle;
    return bundle;
  }
  const LV2_Descriptor* plugin() const { return plugin_; }
  const LV2UI_Descriptor* panel() const { return panel_; }

 private:
  Lv2Bundle() {
    handle_ = dlopen(TAVOLA_LV2_BINARY, RTLD_NOW | RTLD_LOCAL);
    if (!handle_) return;
    auto pluginEntry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(handle_, "lv2_descriptor"));
    auto panelEntry =
        reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(handle_, "lv2ui_descriptor"));
    plugin_ = pluginEntry ? pluginEntry(0) : nullptr;
    panel_ = panelEntry ? panelEntry(0) : nullptr;
  }
  void* handle_ = nullptr;
  const LV2_Descriptor* plugin_ = nullptr;
  const LV2UI_Descriptor* panel_ = nullptr;
};

class UridMap {
 public:
  UridMap() { map_ = {this, &UridMap::mapUri}; }
  LV2_URID map(const char* uri) { return mapUri(this, uri); }
  LV2_Feature* feature() { return &feature_; }

 private:
  static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    auto& ids = static_cast<UridMap*>(handle)->ids_;
    const auto [it, added] = ids.emplace(uri, static_cast<LV2_URID>(ids.size() + 1));
    return it->second;
  }
  std::map<std::string, LV2_URID> ids_;
  LV2_URID_Map map_{};
  LV2_Feature feature_{LV2_URID__map, &map_};
};

// The state as a host's store keeps it: one value per key, with its type and flags.
struct StoredProperty {
  std::vector<unsigned char> value;
  uint32_t type = 0;
  uint32_t flags = 0;
};
using PropertyStore = std::map<uint32_t, StoredProperty>;

class Lv2Instance {
 public:
  explicit Lv2Instance(double rate = 44100.0, bool withMap = true) {
    const LV2_Descriptor* d = Lv2Bundle::get().plugin();
    if (!d) return;
    const LV2_Feature* features[] = {withMap ? map_.feature() : nullptr, nullptr};
    handle_ = d->instantiate(d, rate, "/nowhere/", features);
    controls_.fill(0.0f);
  }
  ~Lv2Instance() {
    if (!handle_) return;
    if (active_) descriptor()->deactivate(handle_);
    descriptor()->cleanup(handle_);
  }
  Lv2Instance(const Lv2Instance&) = delete;
  Lv2Instance& operator=(const Lv2Instance&) = delete;

  bool made() const { return handle_ != nullptr; }
  LV2_Handle handle() const { return handle_; }
  const LV2_Descriptor* descriptor() const { return Lv2Bundle::get().plugin(); }

  // Every control port at its default, the latency port and the audio buffers connected.
  void connectAll() {
    for (const auto& control : lv2::controlPorts()) {
      const unsigned port = lv2::portIndexOf(control);
      control_(port) = static_cast<float>(lv2::defaultValue(control));
      descriptor()->connect_port(handle_, port, &control_(port));
    }
    descriptor()->connect_port(handle_, lv2::kLatencyPort, &latency);
  }
  float& control_(unsigned port) { return controls_[port - lv2::kFirstControlPort]; }
  float& control(const char* symbol) {
    for (const auto& c : lv2::controlPorts())
      if (std::strcmp(c.symbol, symbol) == 0) return control_(lv2::portIndexOf(c));
    ADD_FAILURE() << "no port " << symbol;
    return latency;
  }
  void activate() {
    descriptor()->activate(handle_);
    active_ = true;
  }
  // One block through the plug-in; the input stays as it was.
  void run(const float* left, const float* right, float* outLeft, float* outRight,
           unsigned frames) {
    descriptor()->connect_port(handle_, lv2::kInputLeft, const_cast<float*>(left));
    descriptor()->connect_port(handle_, lv2::kInputRight, const_cast<float*>(right));
    descriptor()->connect_port(handle_, lv2::kOutputLeft, outLeft);
    descriptor()->connect_port(handle_, lv2::kOutputRight, outRight);
    descriptor()->run(handle_, frames);
  }

  const LV2_State_Interface* stateInterface() const {
    return static_cast<const LV2_State_Interface*>(
        descriptor()->extension_data(LV2_STATE__interface));
  }
  LV2_State_Status save(PropertyStore& store) {
    return stateInterface()->save(handle_, &storeProperty, &store, LV2_STATE_IS_POD, nullptr);
  }
  LV2_State_Status restore(PropertyStore& store) {
    return stateInterface()->restore(handle_, &retrieveProperty, &store, 0, nullptr);
  }
  // The bank property of a saved state, as bytes.
  std::vector<unsigned char> savedBank() {
    PropertyStore store;
    if (save(store) != LV2_STATE_SUCCESS) return {};
    return store[bankKey()].value;
  }
  LV2_State_Status restoreBank(const std::vector<unsigned char>& bytes) {
    PropertyStore store;
    store[bankKey()] = {bytes, chunkType(), LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE};
    return restore(store);
  }
  uint32_t bankKey() { return map_.map(lv2::kBankStateUri); }
  uint32_t chunkType() { return map_.map(LV2_ATOM__Chunk); }
  UridMap& uridMap() { return map_; }

  float latency = -1.0f;

 private:
  static LV2_State_Status storeProperty(LV2_State_Handle handle, uint32_t key, const void* value,
                                        size_t size, uint32_t type, uint32_t flags) {
    auto& store = *static_cast<PropertyStore*>(handle);
    const auto* bytes = static_cast<const unsigned char*>(value);
    store[key] = {std::vector<unsigned char>(bytes, bytes + size), type, flags};
    return LV2_STATE_SUCCESS;
  }
  static const void* retrieveProperty(LV2_State_Handle handle, uint32_t key, size_t* size,
                                      uint32_t* type, uint32_t* flags) {
    auto& store = *static_cast<PropertyStore*>(handle);
    const auto it = store.find(key);
    if (it == store.end()) return nullptr;
    *size = it->second.value.size();
    *type = it->second.type;
    *flags = it->second.flags;
    return it->second.value.data();
  }

  UridMap map_;
  LV2_Handle handle_ = nullptr;
  bool active_ = false;
  std::array<float, lv2::kNumControlPorts> controls_{};
};

}  // namespace tavola::lv2test
