// Script commands for the starter, the program that starts Velmox with the browser.
#include <string>

#include "platform/sim/script/script_runner.h"

namespace velmox::sim {
namespace {

std::string StarterState(SimSession& session) {
  const Starter* starter = session.TheStarter();
  if (starter == nullptr) return "ended";
  if (starter->Waiting()) return "waiting";
  return starter->Retrying() ? "retrying" : "idle";
}

}  // namespace

void AddStarterCommands(CommandTable& t) {
  t["starter start"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    c.session.StartStarter();
  };
  t["starter stop"] = [](ScriptContext& c) {
    c.ExpectArgCount(0);
    if (c.session.TheStarter() == nullptr) Failed("the starter does not run");
    c.session.StopStarter();
  };
  t["expect starter"] = [](ScriptContext& c) {
    c.ExpectArgCount(1);
    const std::string& expected = c.Bare(0);
    if (expected != "waiting" && expected != "retrying" && expected != "ended") {
      Malformed("no such starter state: " + expected);
    }
    ExpectSame("the starter", expected, StarterState(c.session));
  };
}

}  // namespace velmox::sim
