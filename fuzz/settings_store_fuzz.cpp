// The simulated desktop's settings file as anything may have left it: loading the options never
// fails, a saved value reads back as saved, and saving one key changes no other.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "platform/sim/sim_settings_store.h"
#include "settings/load_options.h"

using namespace velmox;

namespace {

// Every setting Velmox keeps.
std::vector<SettingKey> AllSettings() {
  std::vector<SettingKey> settings = {kAutoLoadSetting, kCommandTokenSetting};
  for (const OptionField& field : kOptionFields)
    settings.push_back(field.setting);
  return settings;
}

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  static const std::vector<SettingKey> kSettings = AllSettings();
  const std::size_t saved = input.ConsumeIntegralInRange<std::size_t>(0, kSettings.size() - 1);
  std::string value = input.ConsumeRandomLengthString(64);
  const std::string file = input.ConsumeRemainingBytesAsString();
  {
    std::ofstream out(StoreFile(), std::ios::binary | std::ios::trunc);
    out << file;
  }

  sim::SimSettingsStore store(StoreFile());
  FixedRandom random;
  OptionRecord options;
  std::string token;
  LoadOptions(store, random, "C:\\Velmox", options, token);
  FUZZ_CHECK(!token.empty() || file.find("URLPrefix=") != std::string::npos);

  std::vector<std::string> before;
  for (const SettingKey& setting : kSettings)
    before.push_back(ReadSetting(store, setting, "<missing>"));

  bool stored = true;
  try {
    StoreSetting(store, kSettings[saved], value);
  } catch (const std::exception&) {
    stored = false;
  }
  FUZZ_CHECK(stored == (value.find_first_of("\r\n") == std::string::npos));
  for (std::size_t i = 0; i < kSettings.size(); ++i) {
    const std::string now = ReadSetting(store, kSettings[i], "<missing>");
    FUZZ_CHECK(now == (stored && i == saved ? value : before[i]));
  }
  return 0;
}
