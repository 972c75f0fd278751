#include "sites/command_files.h"

#include <initializer_list>
#include <string_view>
#include <utility>

#include "core/failure.h"
#include "core/file_exists.h"

namespace velmox {
namespace {

// Every line ends with CR LF except the last of the file.
std::string JoinLines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += "\r\n";
    text += line;
  }
  return text;
}

std::string MenuScript(const std::string& folder, char letter, const std::string& token) {
  return JoinLines({
      "<SCRIPT language=VBScript>",
      "external.menuArguments.Parent.Parent.Parent.navigate \"file://" + folder + "\\" + letter +
          token + ".html\"",
      "</SCRIPT>",
  });
}

// The page the browser really loads when the command is not caught: it steps back at once.
std::string CommandPage(std::string_view verb) {
  const std::string what = std::string("Could not ") + std::string(verb) + " pop-ups for this site";
  return JoinLines({
      "<html>",
      "<head>",
      "<title>" + what + "</title>",
      "</head>",
      "<body>",
      "<script language=VBScript>",
      "history.back",
      "</script>",
      "Error: " + what + ".<br>",
      "To allow/disallow a site's pop-ups, Velmox must be running.<br>",
      "Please run Velmox and try again.",
      "</body>",
      "</html>",
  });
}

}  // namespace

void CreateHTML(Files& files, const std::string& applicationFolder, const std::string& token) {
  const std::pair<std::string, std::string> generated[] = {
      {"blocksite.script", MenuScript(applicationFolder, 'b', token)},
      {"trustsite.script", MenuScript(applicationFolder, 't', token)},
      {"b" + token + ".html", CommandPage("disallow")},
      {"t" + token + ".html", CommandPage("allow")},
  };
  for (const auto& file : generated) {
    const std::string path = applicationFolder + "\\" + file.first;
    if (FileExists(files, path)) continue;
    // Written whole or not at all: a half-written file would count as present from then on.
    SkipOnFailure([&] { files.WriteTextAtomically(path, file.second); });
  }
}

}  // namespace velmox
