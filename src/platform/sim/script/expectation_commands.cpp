// Expectations that hold in any script: what the latest action did (shell calls, writes), the
// sounds played, and Velmox's live state (alerts, verdicts, options).
#include <string>
#include <vector>

#include "platform/sim/script/dialog_watch.h"
#include "platform/sim/script/script_runner.h"
#include "sites/site_verdict.h"

namespace velmox::sim {
namespace {

bool NoneExpected(const ScriptContext& c) {
  return c.args.size() == 1 && c.IsBare(0, "none");
}

Application& LatestRun(ScriptContext& c) {
  Application* run = c.session.LatestRun();
  if (run == nullptr) Failed("Velmox has not been started");
  return *run;
}

// Shell calls made by the latest action: VERB "TARGET" ...
void ExpectShell(ScriptContext& c) {
  std::vector<std::string> expected;
  if (!NoneExpected(c)) {
    if (c.args.size() % 2 != 0) Malformed("expected pairs of a verb and a target");
    for (std::size_t i = 0; i < c.args.size(); i += 2)
      expected.push_back(c.Bare(i) + " " + Quoted(c.Text(i + 1)));
  }
  const auto& calls = c.session.desktop.shell.calls;
  std::vector<std::string> seen;
  for (std::size_t i = c.runner.LastAction().shellCalls; i < calls.size(); ++i)
    seen.push_back(calls[i].verb + " " + Quoted(calls[i].target));
  ExpectSame("the shell calls of the last action", Listed(expected), Listed(seen));
}

// Settings saved and files written by the latest action, in order.
void ExpectWrites(ScriptContext& c) {
  std::vector<std::string> expected;
  if (!NoneExpected(c)) {
    for (std::size_t i = 0; i < c.args.size(); ++i)
      expected.push_back(Quoted(c.Text(i)));
  }
  const auto& writes = c.session.desktop.writes;
  std::vector<std::string> seen;
  for (std::size_t i = c.runner.LastAction().writes; i < writes.size(); ++i)
    seen.push_back(Quoted(writes[i]));
  ExpectSame("the writes of the last action", Listed(expected), Listed(seen));
}

void ExpectSounds(ScriptContext& c) {
  std::vector<std::string> expected;
  if (!NoneExpected(c)) {
    for (std::size_t i = 0; i < c.args.size(); ++i)
      expected.push_back(c.Text(i));
  }
  ExpectSame("the sounds played", QuotedList(expected), QuotedList(c.session.desktop.sound.played));
}

void ExpectAlerts(ScriptContext& c) {
  c.ExpectArgCount(1);
  Application* run = c.session.LatestRun();
  Velmox* form = run != nullptr ? run->MainForm() : nullptr;
  ExpectSame("alerts", c.Bare(0), form != nullptr ? std::to_string(form->AlertCount()) : "none");
}

void ExpectVerdict(ScriptContext& c) {
  c.ExpectArgCount(2);
  const AppState& state = LatestRun(c).State();
  const std::string host = c.Text(0);
  const std::string& expected = c.Bare(1);
  if (expected != "allowed" && expected != "disallowed" && expected != "unlisted")
    Malformed("a verdict is allowed, disallowed or unlisted: " + expected);
  std::string seen;
  if (expected == "unlisted")
    seen = state.Sites.Verdict(host) ? "listed" : "unlisted";
  else
    seen =
        IsBlocked(state.Sites, state.OptionValues.BlockByDefault, host) ? "disallowed" : "allowed";
  ExpectSame("the verdict for " + Quoted(host), expected, seen);
}

void ExpectOption(ScriptContext& c) {
  c.ExpectArgCount(2);
  const std::string& name = c.Bare(0);
  for (const auto& [option, value] : OptionTexts(LatestRun(c).State().OptionValues)) {
    if (option != name) continue;
    ExpectSame("option " + name, Quoted(c.Text(1)), Quoted(value));
    return;
  }
  Malformed("no such option: " + name);
}

}  // namespace

void AddExpectationCommands(CommandTable& t) {
  t["expect shell"] = ExpectShell;
  t["expect writes"] = ExpectWrites;
  t["expect sounds"] = ExpectSounds;
  t["expect alerts"] = ExpectAlerts;
  t["expect verdict"] = ExpectVerdict;
  t["expect option"] = ExpectOption;
}

}  // namespace velmox::sim
