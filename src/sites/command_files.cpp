#include "sites/command_files.h"

#include <initializer_list>
#include <string_view>

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
  struct Generated {
    std::string name;
    std::string text;
    // A script names the token's page, so one from an earlier token would send every command
    // to a page no longer recognised. A page is named after its token: a present one is kept.
    bool keepWhenPresent;
  };
  const Generated generated[] = {
      {"blocksite.script", MenuScript(applicationFolder, 'b', token), false},
      {"trustsite.script", MenuScript(applicationFolder, 't', token), false},
      {"b" + token + ".html", CommandPage("disallow"), true},
      {"t" + token + ".html", CommandPage("allow"), true},
  };
  for (const Generated& file : generated) {
    const std::string path = applicationFolder + "\\" + file.name;
    if (file.keepWhenPresent ? FileExists(files, path)
                             : TrapOr(false, [&] { return files.ReadText(path) == file.text; }))
      continue;
    // Written whole or not at all: a half-written file would count as present from then on.
    SkipOnFailure([&] { files.WriteTextAtomically(path, file.text); });
  }
}

}  // namespace velmox
