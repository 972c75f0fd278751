// Velmox against headless Chromium: how long a script pop-up takes to meet its fate with Velmox
// and without it, and what Velmox's watch on a window's navigations costs. A timed harness, not a
// test: it prints its figures.
//
//   velmox_chromium_bench [POPUPS] [NAVIGATIONS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <vector>

#include "platform/chromium/chromium_browser.h"
#include "platform/chromium/chromium_desktop.h"
#include "platform/sim/script/sim_session.h"

namespace {

using namespace velmox;
using Steady = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kLimit{10000};
constexpr const char* kMayBeCommandA = "b1111111111.html";
constexpr const char* kMayBeCommandB = "t2222222222.html";

double Ms(Steady::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

struct Figures {
  double median = 0, p99 = 0, total = 0;
};

Figures Summary(std::vector<double> samples) {
  Figures f;
  if (samples.empty()) return f;
  std::sort(samples.begin(), samples.end());
  for (double s : samples)
    f.total += s;
  f.median = samples[samples.size() / 2];
  f.p99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
  return f;
}

void Write(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file) << text;
}

chromium::ChromiumWindow& OpenWindow(chromium::ChromiumBrowsers& b, const std::string& address) {
  chromium::ChromiumWindow& window = b.Open("page", address);
  b.Settle();
  return window;
}

// The page's script opens a window, on its own or as during a user's gesture (then Velmox reads
// the user's last press in the page); the sample ends at the window's fate. Each pop-up starts
// once the browser is quiet again, so that no sample pays for the last window's end.
std::vector<double> PopUps(chromium::ChromiumBrowsers& b, chromium::ChromiumWindow& page, int count,
                           bool velmox, sim::Trace& trace, bool gesture = false) {
  std::vector<double> samples;
  for (int i = 0; i < count; ++i) {
    const std::size_t caught = b.sinkCatches.size();
    const auto start = Steady::now();
    b.Client().Post("Runtime.evaluate",
                    {{"expression", "window.open('/ad" + std::to_string(i) + ".html'), 0"},
                     {"userGesture", gesture}},
                    page.sessionId);
    std::shared_ptr<chromium::ChromiumWindow> shown;
    const bool met = b.PumpUntil(
        [&] {
          if (velmox) return b.sinkCatches.size() > caught;  // blocked: cancelled and closed
          if (b.newWindows.empty()) return false;
          shown = b.newWindows.front();  // shown: its page has loaded
          return shown->firstNavigation && !shown->url.empty() && shown->loading.empty() &&
                 shown->url != "about:blank";
        },
        kLimit);
    if (!met) throw std::runtime_error("a pop-up met no fate within 10 s");
    samples.push_back(Ms(Steady::now() - start));
    if (shown) {
      b.newWindows.pop_front();
      b.Close(*shown);
    }
    b.Settle();
    trace.ForgetLines();
  }
  return samples;
}

// A window that navigates between two pages of a folder.
struct Walk {
  chromium::ChromiumBrowsers& browsers;
  chromium::ChromiumWindow& page;
  std::filesystem::path folder;
  const char* first;
  const char* second;
  std::vector<double> samples;
};

// Each walk navigates in turn, each first as often as the others, so that the machine's load
// and what the last navigation left to do change all of them alike; each sample ends when the
// page has loaded.
void Navigations(std::vector<Walk>& walks, int count) {
  for (int i = 0; i < count; ++i) {
    for (std::size_t turn = 0; turn < walks.size(); ++turn) {
      Walk& walk = walks[(i + turn) % walks.size()];
      const std::string target = (walk.folder / (i % 2 ? walk.first : walk.second)).string();
      const auto start = Steady::now();
      walk.browsers.Navigate(*walk.browsers.FindPlace(walk.page.label), target);
      const bool met = walk.browsers.PumpUntil(
          [&] { return walk.page.url.ends_with(target) && walk.page.loading.empty(); }, kLimit);
      if (!met) throw std::runtime_error("a navigation did not end within 10 s");
      walk.samples.push_back(Ms(Steady::now() - start));
    }
  }
}

void Print(const char* what, const Figures& f) {
  std::printf("%-44s median %7.2f ms   p99 %7.2f ms\n", what, f.median, f.p99);
}

}  // namespace

int main(int argc, char** argv) {
  const int popups = argc > 1 ? std::atoi(argv[1]) : 1000;
  const int navigations = argc > 2 ? std::atoi(argv[2]) : 200;
  std::error_code ec;
  const auto work = std::filesystem::temp_directory_path() /
                    ("velmox-chromium-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(work / "app", ec);
  std::filesystem::create_directories(work / "profile", ec);
  std::filesystem::create_directories(work / "pages", ec);
  Write(work / "pages" / "index.html",
        "<html><body><p>A page that opens windows</p></body></html>");
  Write(work / "pages" / "a.html", "<html><body><p>Page A</p></body></html>");
  Write(work / "pages" / "b.html", "<html><body><p>Page B</p></body></html>");
  // Pages of the application folder named as command pages of another token: Velmox is asked
  // about each navigation to them, and lets it go.
  Write(work / "app" / kMayBeCommandA, "<html><body><p>Page A</p></body></html>");
  Write(work / "app" / kMayBeCommandB, "<html><body><p>Page B</p></body></html>");

  int status = 0;
  try {
    sim::SimFolders folders;
    folders.appDir = work / "app";
    folders.profile = work / "profile";
    sim::SimSession session(folders);
    chromium::ChromiumOptions options;
    options.launch.userDataDir = folders.profile;
    options.quiet = std::chrono::milliseconds(20);  // between samples, not within them
    chromium::ChromiumBrowsers browsers(session.desktop.trace, session.desktop.files, options);
    browsers.pages.Map("http://bench.example/", work / "pages");
    Desktop table = chromium::DesktopWith(session.desktop, browsers);
    session.table = &table;
    session.settleBrowser = [&] { browsers.Settle(); };
    session.disconnectBrowser = [&] { browsers.DisconnectAll(); };

    chromium::ChromiumWindow& page = OpenWindow(browsers, "http://bench.example/");
    const Figures without = Summary(PopUps(browsers, page, popups, false, session.desktop.trace));
    session.Start();  // Velmox judges from here on: every pop-up of this site is blocked
    const Figures with = Summary(PopUps(browsers, page, popups, true, session.desktop.trace));
    const Figures judging = Summary(browsers.judgingMs);
    browsers.judgingMs.clear();
    const Figures withGesture =
        Summary(PopUps(browsers, page, popups, true, session.desktop.trace, true));
    const Figures gestureJudging = Summary(browsers.judgingMs);

    chromium::ChromiumOptions plain = options;
    plain.intercept = false;
    chromium::ChromiumBrowsers alone(session.desktop.trace, session.desktop.files, plain);
    chromium::ChromiumWindow& other = OpenWindow(alone, (work / "pages" / "a.html").string());
    chromium::ChromiumWindow& commands =
        browsers.Open("commands", (work / "app" / kMayBeCommandA).string());
    browsers.Settle();
    std::vector<Walk> walks = {
        {browsers, page, work / "pages", "a.html", "b.html", {}},
        {browsers, commands, work / "app", kMayBeCommandA, kMayBeCommandB, {}},
        {alone, other, work / "pages", "a.html", "b.html", {}}};
    Navigations(walks, navigations);
    const Figures held = Summary(walks[0].samples);
    const Figures asked = Summary(walks[1].samples);
    const Figures free = Summary(walks[2].samples);

    std::printf("Velmox against headless Chromium: %d script pop-ups, %d navigations\n", popups,
                navigations);
    Print("pop-up to its fate, without Velmox (shown)", without);
    Print("pop-up to its fate, with Velmox (blocked)", with);
    Print("  of which Velmox's own judging", judging);
    Print("the same during a user gesture (blocked)", withGesture);
    Print("  of which Velmox's own judging", gestureJudging);
    std::printf("%-44s %7.1f per second\n", "pop-ups judged, one after another",
                1000.0 * popups / with.total);
    Print("navigation, Velmox watching the window", held);
    Print("navigation that may be a command page", asked);
    Print("navigation, nothing intercepted", free);
    std::printf("%-44s %7.2f (median %+.1f%%)\n", "navigation time ratio, watched / free",
                held.total / free.total, 100.0 * (held.median - free.median) / free.median);
  } catch (const std::exception& e) {
    std::cerr << "velmox_chromium_bench: " << e.what() << '\n';
    status = 1;
  }
  std::filesystem::remove_all(work, ec);
  return status;
}
