#include "platform/sim/script/window_feature_words.h"

#include "platform/sim/script/script_words.h"

namespace velmox::sim {

bool ApplyFeature(const std::string& word, WindowFeatures& f) {
  const auto equals = word.find('=');
  if (equals == std::string::npos) return false;
  const std::string key = word.substr(0, equals), value = word.substr(equals + 1);
  if (key == "ToolBar") {
    f.ToolBar = WholeInt(value);
    return true;
  }
  if (value != "True" && value != "False") Malformed("not True or False: " + word);
  const bool on = value == "True";
  if (key == "TheaterMode") {
    f.TheaterMode = on;
  } else if (key == "FullScreen") {
    f.FullScreen = on;
  } else if (key == "MenuBar") {
    f.MenuBar = on;
  } else if (key == "StatusBar") {
    f.StatusBar = on;
  } else if (key == "AddressBar") {
    f.AddressBar = on;
  } else if (key == "Visible") {
    f.Visible = on;
  } else {
    Malformed("no such window feature: " + key);
  }
  return true;
}

}  // namespace velmox::sim
