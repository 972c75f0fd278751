#include "platform/sim/context_menu_script.h"

#include <exception>
#include <regex>

namespace velmox::sim {

std::optional<MenuNavigation> PickMenuEntry(SimFiles& files, bool disallow,
                                            const std::string& placeLabel,
                                            const std::function<void(const std::string&)>& say) {
  const std::string file = disallow ? "blocksite.script" : "trustsite.script";
  const std::string entry = disallow ? "the disallow entry" : "the allow entry";
  std::string script;
  try {
    script = files.ReadText(files.VirtualFolder() + "\\" + file);
  } catch (const std::exception&) {
    say(placeLabel + ": the user picks " + entry + ", which finds no " + file +
        " and does nothing");
    return std::nullopt;
  }
  say(placeLabel + ": the user picks " + entry + ", which runs " + file);
  static const std::regex navigation(
      R"re(external\.menuArguments((?:\.parent)*)\.navigate\s*\(?\s*"([^"]*)")re",
      std::regex::icase);
  std::smatch found;
  if (!std::regex_search(script, found, navigation)) return std::nullopt;
  // menuArguments is the window of the page the menu was opened on; each Parent climbs one frame.
  return MenuNavigation{found[1].str().size() / std::string(".parent").size(), found[2].str()};
}

}  // namespace velmox::sim
