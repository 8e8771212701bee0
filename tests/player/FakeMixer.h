#pragma once
// A mixer for tests, installed in place of the real ones.
#include "player/ModMixers.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace rwtest {

// A mixer whose lines, values and failures the test sets.
struct FakeMixer : ModMixers::IMixerBackend {
  int32_t devices = 1;
  bool opens = true;
  bool writes = true;
  bool reads = true;
  // By line and control type.
  std::map<std::pair<uint32_t, uint32_t>, ModMixers::MixerControl> controls;
  std::map<uint32_t, uint32_t> values;  // raw value by control id
  std::vector<std::pair<uint32_t, uint32_t>> written;  // id and raw value, in order
  int openCalls = 0;

  int32_t DeviceCount() override { return devices; }
  bool Open(int32_t) override { return ++openCalls, opens; }
  bool FindControl(uint32_t component, uint32_t type, ModMixers::MixerControl& out) override {
    auto found = controls.find({component, type});
    if (found == controls.end()) return false;
    out = found->second;
    return true;
  }
  bool SetValue(uint32_t id, uint32_t value) override {
    if (!writes) return false;
    written.emplace_back(id, value);
    values[id] = value;
    return true;
  }
  bool GetValue(uint32_t id, uint32_t& value) override {
    if (!reads || !values.count(id)) return false;
    value = values[id];
    return true;
  }
};

}  // namespace rwtest
