// The simulated desktop's settings file as anything may have left it: loading the options never
// fails, a saved value reads back as saved, and saving one key changes no other.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_check.h"
#include "platform/sim/sim_settings_store.h"
#include "settings/load_options.h"

using namespace velmox;

namespace {

constexpr std::array<const char*, 15> kKeys = {
    "AutoClose",      "AddressBar", "FullScreen",    "MenuBar",    "StatusBar",
    "TheaterMode",    "ToolBar",    "IgnoreLocal",   "LinkTarget", "BlockByDefault",
    "BlinkLightBulb", "PlayASound", "SoundFileName", "AutoLoad",   "URLPrefix"};

struct FixedRandom : RandomSource {
  double NextUniform() override { return 0.5; }
};

const std::filesystem::path& StoreFile() {
  static const std::filesystem::path file = [] {
    // scripts/run-fuzz points TMPDIR at a scratch folder it removes afterwards.
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/velmox-fuzz-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) std::abort();
    return std::filesystem::path(folder) / "settings.txt";
  }();
  return file;
}

std::string SectionOf(const char* key) {
  return std::string(key) == "URLPrefix" ? "Data" : "Options";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const char* savedKey = kKeys[input.ConsumeIntegralInRange<std::size_t>(0, kKeys.size() - 1)];
  std::string value = input.ConsumeRandomLengthString(64);
  const std::string file = input.ConsumeRemainingBytesAsString();
  {
    std::ofstream out(StoreFile(), std::ios::binary | std::ios::trunc);
    out << file;
  }

  sim::SimSettingsStore store(StoreFile());
  FixedRandom random;
  AppState state;
  LoadOptions(store, random, "C:\\Velmox", state);
  FUZZ_CHECK(!state.URLPrefix.empty() || file.find("URLPrefix=") != std::string::npos);

  std::array<std::string, kKeys.size()> before;
  for (std::size_t i = 0; i < kKeys.size(); ++i)
    before[i] = store.GetSetting(kProductName, SectionOf(kKeys[i]), kKeys[i], "<missing>");

  bool saved = true;
  try {
    store.SaveSetting(kProductName, SectionOf(savedKey), savedKey, value);
  } catch (const std::exception&) {
    saved = false;
  }
  FUZZ_CHECK(saved == (value.find_first_of("\r\n") == std::string::npos));
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    const std::string now =
        store.GetSetting(kProductName, SectionOf(kKeys[i]), kKeys[i], "<missing>");
    FUZZ_CHECK(now == (saved && kKeys[i] == savedKey ? value : before[i]));
  }
  return 0;
}
