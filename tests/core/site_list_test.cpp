#include "core/site_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/site_host.h"

namespace velmox {
namespace {

// The lookups written the slow, obvious way, to check the indexed ones against.
std::optional<bool> LinearVerdict(const std::vector<SiteEntry>& entries, std::string_view host) {
  for (const SiteEntry& entry : entries) {
    const auto site = SiteOfEntry(entry.Host);
    if (!site) continue;
    if (*site == host || "www." + std::string(*site) == host) return entry.Blocked;
  }
  return std::nullopt;
}

std::optional<std::size_t> LinearFind(const std::vector<SiteEntry>& entries,
                                      std::string_view host) {
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (host.empty() ? entries[i].Host.empty() : SiteOfEntry(entries[i].Host) == host) return i;
  }
  return std::nullopt;
}

TEST(SiteListChanges, NeverShrinkAndRejectIndexesPastTheEnd) {
  SiteList list;
  list.ReplaceAll({{"a", true}});
  list.SetEntry(0, {"", false});
  EXPECT_EQ(list.Count(), 1u);
  EXPECT_THROW(list.SetEntry(1, {"b", true}), std::out_of_range);
  EXPECT_THROW(list.SetBlocked(1, true), std::out_of_range);
  EXPECT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.Verdict("b"), std::nullopt);
}

TEST(SiteListChanges, CopiesAreIndependent) {
  SiteList shared;
  shared.ReplaceAll({{"a", true}});
  SiteList copy = shared;
  copy.SetEntry(0, {"b", false});
  EXPECT_EQ(shared.Verdict("a"), true);
  EXPECT_EQ(shared.Verdict("b"), std::nullopt);
  EXPECT_EQ(copy.Verdict("a"), std::nullopt);
  EXPECT_EQ(copy.Verdict("b"), false);
}

// What an earlier release recorded (ports, user names, closing dots) stands for the site it was
// recorded from; a text that cannot be a host is kept but matches nothing; letter case counts.
TEST(SiteListStoredEntries, StandForTheSiteTheirTextNames) {
  const std::vector<SiteEntry> stored = {{"intranet.example:8080", false},
                                         {"me@mail.example", false},
                                         {"shop.example.", false},
                                         {"Caps.Example", false},
                                         {"a b", true},
                                         {"x/y", true},
                                         {"@:80", true},
                                         {"a:8080", false},
                                         {"c:", true}};
  SiteList list;
  list.ReplaceAll(stored);
  EXPECT_EQ(list.Entries(), stored);
  EXPECT_EQ(list.Verdict("intranet.example"), false);
  EXPECT_EQ(list.Verdict("www.intranet.example"), false);
  EXPECT_EQ(list.Verdict("mail.example"), false);
  EXPECT_EQ(list.Verdict("shop.example"), false);
  EXPECT_EQ(list.Verdict("a"), false);
  EXPECT_EQ(list.Verdict("c:"), true);
  for (std::string_view never :
       {"caps.example", "a b", "x/y", "x", "", "@:80", "intranet.example:8080"})
    EXPECT_EQ(list.Verdict(never), std::nullopt) << never;
  EXPECT_EQ(list.FindHost("shop.example"), 2u);
  EXPECT_EQ(list.FindHost("Caps.Example"), 3u);
}

// Two entries that name the same site: the one earlier in the list decides, as for any two
// matching entries, whichever spelling either has.
TEST(SiteListStoredEntries, TheEarlierOfTwoSpellingsDecides) {
  SiteList list;
  list.ReplaceAll({{"a.example:8080", true}, {"a.example", false}, {"me@a.example.", true}});
  EXPECT_EQ(list.Verdict("a.example"), true);
  EXPECT_EQ(list.FindHost("a.example"), 0u);
  list.SetEntry(0, {"", false});
  EXPECT_EQ(list.Verdict("a.example"), false);
  EXPECT_EQ(list.FindHost("a.example"), 1u);
  list.SetEntry(1, {"a b", false});
  EXPECT_EQ(list.Verdict("www.a.example"), true);
}

// Random runs of every kind of change; after each change every lookup must agree with the
// linear walk.
void CheckRandomChanges(const std::vector<std::string>& hosts, std::vector<std::string> probes,
                        int steps, std::size_t maxReplace) {
  probes.insert(probes.end(), hosts.begin(), hosts.end());
  std::mt19937 random(20240611);
  auto pick = [&](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
  };
  auto randomEntry = [&] { return SiteEntry{hosts[pick(hosts.size())], pick(2) == 1}; };

  SiteList list;
  std::vector<SiteEntry> reference;
  for (int step = 0; step < steps; ++step) {
    const std::size_t action = reference.empty() ? 0 : pick(40);
    if (action == 0) {
      std::vector<SiteEntry> all(pick(maxReplace) + 1);
      for (SiteEntry& e : all)
        e = randomEntry();
      reference = all;
      list.ReplaceAll(all);
    } else if (action <= 12) {
      const SiteEntry e = randomEntry();
      reference.push_back(e);
      list.Append(e);
    } else if (action <= 32) {
      const std::size_t i = pick(reference.size());
      const SiteEntry e = pick(4) == 0 ? SiteEntry{} : randomEntry();
      reference[i] = e;
      list.SetEntry(i, e);
    } else {
      const std::size_t i = pick(reference.size());
      const bool blocked = pick(2) == 1;
      reference[i].Blocked = blocked;
      list.SetBlocked(i, blocked);
    }
    ASSERT_EQ(list.Entries(), reference) << "step " << step;
    for (const std::string& probe : probes) {
      ASSERT_EQ(list.Verdict(probe), LinearVerdict(reference, probe))
          << "step " << step << " host '" << probe << "'";
      ASSERT_EQ(list.FindHost(probe), LinearFind(reference, probe))
          << "step " << step << " host '" << probe << "'";
    }
  }
}

// Few hosts: duplicates, www. forms and free entries meet often.
TEST(SiteListChanges, IndexAgreesWithALinearWalkForFewHosts) {
  CheckRandomChanges({"", "a", "www.a", "www.www.a", "b", "www.b", "www.", "www.www.b", "A", "c",
                      "a:8080", "me@a", "a.", "www.a.:80", "u@www.b", "a b", "b/", "@", ":80"},
                     {"www.c", "www.www.www.a", "unlisted", "www", "a b"}, 4000, 8);
}

// Many hosts: the table grows, and removals shift probe runs.
TEST(SiteListChanges, IndexAgreesWithALinearWalkForManyHosts) {
  std::vector<std::string> hosts = {""};
  for (int i = 0; i < 150; ++i) {
    hosts.push_back("h" + std::to_string(i));
    if (i % 5 == 0) hosts.push_back("www.h" + std::to_string(i));
  }
  CheckRandomChanges(hosts, {"www.h1", "www.h2", "nowhere"}, 1500, 100);
}

}  // namespace
}  // namespace velmox
