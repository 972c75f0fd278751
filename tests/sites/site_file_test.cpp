#include "sites/site_file.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_files.h"
#include "sites/host_name.h"
#include "sites/site_verdict.h"
#include "support/temp_folder.h"

namespace velmox {
namespace {

using namespace std::string_literals;

const std::string kListFolder = "C:\\Velmox";
const std::string kListPath = "C:\\Velmox\\servers.lst";

class SiteFileLoad : public ::testing::Test {
 protected:
  void Write(const std::string& text) { test::WriteRealFile(folder.Path() / "servers.lst", text); }
  std::string Saved() { return files.ReadText(kListPath); }
  std::string Kept() { return test::ReadRealFile(folder.Path() / "servers.lst.bak"); }
  SiteList Load(const std::string& text) {
    Write(text);
    SiteList sites;
    SetUpBlockedHosts(files, kListFolder, sites, onDisk);
    return sites;
  }
  SiteList LoadAgain() {
    SiteList sites;
    SetUpBlockedHosts(files, kListFolder, sites, onDisk);
    return sites;
  }
  bool CopyExists(const std::string& name) { return std::filesystem::exists(folder.Path() / name); }
  void FailOnTheList() {
    files.failStep = [](std::string_view, const std::string& path) { return path == kListPath; };
  }

  test::TempFolder folder;
  sim::SimFiles files{kListFolder, folder.Path()};
  SitesFileState onDisk;
  std::vector<std::string> reports;
};

struct SiteFileSave : SiteFileLoad {
  SiteFileSave() {
    files.onReport = [this](const std::string& message) { reports.push_back(message); };
  }
};

TEST_F(SiteFileLoad, ReadsRecordsInFileOrderAndWritesThemBackByteForByte) {
  const std::string text = "\"ads.example\",#TRUE#\r\n\"news.example\",#FALSE#\r\n";
  SiteList sites = Load(text);
  EXPECT_EQ(sites.Entries(),
            (std::vector<SiteEntry>{{"ads.example", true}, {"news.example", false}}));
  std::filesystem::remove(folder.Path() / "servers.lst");
  std::vector<std::string> steps;
  files.failStep = [&](std::string_view step, const std::string&) {
    steps.emplace_back(step);
    return false;
  };
  RecordBlockedHosts(files, kListFolder, sites, onDisk);
  // Plain truncate-and-write would lose the list when the write breaks off; only the
  // write-beside-and-rename path may be used.
  EXPECT_EQ(steps, (std::vector<std::string>{"create", "write", "rename"}));
  EXPECT_EQ(Saved(), text);
}

TEST_F(SiteFileLoad, MissingEmptyOrUnreadableFileGivesOneFreeEntry) {
  const std::vector<SiteEntry> one = {{"", false}};
  SiteList sites;
  sites.ReplaceAll({{"left.over", true}});
  SetUpBlockedHosts(files, kListFolder, sites, onDisk);
  EXPECT_EQ(sites.Entries(), one);

  EXPECT_EQ(Load("").Entries(), one);
  EXPECT_EQ(Load("\r\n").Entries(), one);

  Write("\"a\",#TRUE#\r\n");
  FailOnTheList();
  SetUpBlockedHosts(files, kListFolder, sites, onDisk);
  EXPECT_EQ(sites.Entries(), one);
}

// Each odd line keeps its element, with what could be read before the fault.
TEST_F(SiteFileLoad, OddLinesKeepTheirElementWithWhatWasRead) {
  struct Case {
    const char* line;
    SiteEntry entry;
  };
  const Case cases[] = {
      {"\"a.example\",#TRUE#", {"a.example", true}},
      {"\"a.example\",#FALSE#", {"a.example", false}},
      {"\"a.example\"", {"a.example", false}},              // no mark
      {"\"a.example\",", {"a.example", false}},             // empty mark
      {"\"a.example\" #TRUE#", {"a.example", false}},       // missing comma
      {"\"a.example\",#true#", {"a.example", false}},       // not a mark of the file
      {"\"a.example\",#TRUE# junk", {"a.example", false}},  // extra text in the mark
      {"\"a.example\",#TRUE#,junk", {"a.example", true}},   // a further field is not looked at
      {"\"a.example\"junk,#TRUE#", {"a.example", false}},   // text between host and comma
      {" \"a.example\" , #TRUE# ", {"a.example", true}},    // blanks around fields
      {"\"a,b\",#TRUE#", {"a,b", true}},                    // a comma inside the quotes
      {"a.example,#TRUE#", {"a.example", true}},            // bare host, as the reader takes it
      {"a.example", {"a.example", false}},                  // bare host, nothing else
      {"a\"b,#TRUE#", {"", false}},                         // bare host that cannot be written
      {"\"a.example,#TRUE#", {"", false}},                  // cut short inside the quotes
      {"\"\",#TRUE#", {"", true}},                          // a free entry
      {"", {"", false}},
      {"   ", {"", false}},
      {"\"Ads.Example\",#TRUE#", {"Ads.Example", true}},  // taken as written
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadSiteRecord(c.line), c.entry) << c.line;
  }
}

TEST_F(SiteFileLoad, EveryLineIsOneRecordWhateverEndsIt) {
  EXPECT_EQ(Load("\"a\",#TRUE#\r\n\"b\",#FALSE#").Entries(),
            (std::vector<SiteEntry>{{"a", true}, {"b", false}}));
  EXPECT_EQ(Load("\"a\",#TRUE#\r\n\r\n\"b\",#TRUE#\r\n").Entries(),
            (std::vector<SiteEntry>{{"a", true}, {"", false}, {"b", true}}));
  EXPECT_EQ(Load("\"a\",#TRUE#\n\"b\",#TRUE#\r\"c\",#FALSE#\n\n").Entries(),
            (std::vector<SiteEntry>{{"a", true}, {"b", true}, {"c", false}, {"", false}}));
  EXPECT_EQ(Load("junk\r\n\"b\",#TRUE#\r\n").Entries(),
            (std::vector<SiteEntry>{{"junk", false}, {"b", true}}));
}

// What an editor writes as "Unicode": two bytes a character, a byte-order mark first.
std::string Utf16(std::string_view ascii, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii) {
    bytes += bigEndian ? '\0' : c;
    bytes += bigEndian ? c : '\0';
  }
  return bytes;
}

TEST_F(SiteFileLoad, ReadsTheRecordsBehindAByteOrderMark) {
  const std::string text = "\"ads.example\",#TRUE#\r\n\"news.example\",#FALSE#\r\n";
  const std::vector<SiteEntry> two = {{"ads.example", true}, {"news.example", false}};
  EXPECT_EQ(Load("\xEF\xBB\xBF" + text).Entries(), two);
  EXPECT_EQ(Load(Utf16(text, false)).Entries(), two);
  EXPECT_EQ(Load(Utf16(text, true)).Entries(), two);
  // Beyond ASCII the hosts are read as UTF-8: U+00E9, a pair for U+1F600, a lone half as "?".
  EXPECT_EQ(
      Load("\xFF\xFE\"\0\xE9\0.\0\x3D\xD8\x00\xDE\x3D\xD8\"\0,\0#\0T\0R\0U\0E\0#\0"s).Entries(),
      (std::vector<SiteEntry>{{"\xC3\xA9.\xF0\x9F\x98\x80?", true}}));
  EXPECT_EQ(Load("\xFE\xFF").Entries(), (std::vector<SiteEntry>{{"", false}}));
}

// A file Velmox would not have written (a byte-order mark, lines edited by hand) is kept as
// servers.lst.bak, replacing an older copy, before a save replaces it. A file in Velmox's own
// form is replaced without a copy.
TEST_F(SiteFileSave, KeepsAFileVelmoxWouldNotHaveWrittenBeforeReplacingIt) {
  const std::string edited = "\xEF\xBB\xBF\"a.example\",#TRUE#\r\n\r\n\"b.example\", #FALSE#\n";
  test::WriteRealFile(folder.Path() / "servers.lst.bak", "an older copy");
  SiteList sites = Load(edited);
  sites.Append({"c.example", true});
  RecordBlockedHosts(files, kListFolder, sites, onDisk);
  EXPECT_EQ(Kept(), edited);
  const std::string own =
      "\"a.example\",#TRUE#\r\n\"b.example\",#FALSE#\r\n\"c.example\",#TRUE#\r\n";
  EXPECT_EQ(Saved(), own);

  sites.SetBlocked(0, false);
  RecordBlockedHosts(files, kListFolder, sites, onDisk);
  EXPECT_EQ(Kept(), edited) << "the file replaced was Velmox's own";

  // No copy, no save: the hand-made file stays as it was.
  Write(edited);
  files.failStep = [](std::string_view, const std::string& path) {
    return path.starts_with(kListPath + ".bak");
  };
  RecordBlockedHosts(files, kListFolder, sites, onDisk);
  EXPECT_EQ(test::ReadRealFile(folder.Path() / "servers.lst"), edited);
}

// The check that decides the copy agrees with reading the file and writing it back.
TEST(SitesTextAsWritten, HoldsExactlyForWhatVelmoxWritesBack) {
  for (std::string_view text :
       {"", "\"a\",#TRUE#\r\n", "\"a\",#TRUE#\r\n\"b c\",#FALSE#\r\n", "\"a\",#TRUE#",
        "\"a\",#TRUE#\n", "\r\n", "\"\",#TRUE#\r\n", "\"a\",#true#\r\n", "a,#TRUE#\r\n",
        "\"a\", #TRUE#\r\n", "\"a\",#TRUE#\r\n\r\n", "\xEF\xBB\xBF\"a\",#TRUE#\r\n"}) {
    SiteList list;
    list.ReplaceAll(ReadSitesText(text));
    EXPECT_EQ(IsSitesTextAsWritten(text), WriteSitesText(list) == text) << text;
  }
}

TEST_F(SiteFileSave, SkipsFreeEntriesAndHostsTheRecordCannotHold) {
  SiteList sites;
  sites.ReplaceAll({{"", true},
                    {"a", true},
                    {"quo\"te", true},
                    {"cr\rhost", false},
                    {"lf\nhost", false},
                    {"b:8080", false}});
  RecordBlockedHosts(files, kListFolder, sites, onDisk);
  EXPECT_EQ(Saved(), "\"a\",#TRUE#\r\n\"b:8080\",#FALSE#\r\n");
  EXPECT_EQ(sites.Count(), 6u);

  sites.ReplaceAll({{"", false}});
  RecordBlockedHosts(files, kListFolder, sites, onDisk);
  EXPECT_EQ(Saved(), "");
}

TEST_F(SiteFileSave, AFailedSaveLeavesTheOldFileAndTheList) {
  Write("\"old\",#TRUE#\r\n");
  FailOnTheList();
  SiteList sites;
  sites.ReplaceAll({{"new", false}});
  RecordBlockedHosts(files, kListFolder, sites, onDisk);
  files.failStep = nullptr;
  EXPECT_EQ(Saved(), "\"old\",#TRUE#\r\n");
  EXPECT_EQ(sites.Entries(), (std::vector<SiteEntry>{{"new", false}}));
}

// Every shape an earlier release could have left: hosts with ports, user names and closing dots,
// two spellings of one site, behind a byte-order mark or not, lines ended by CR LF or by LF.
// Read, saved and read again, each gives every address the same verdict, and the hosts stay
// as they were written.
TEST_F(SiteFileSave, ListsOfEveryEarlierShapeKeepTheirVerdictsAcrossASave) {
  const std::vector<std::string> records = {
      "\"intranet.example:8080\",#FALSE#", "\"me@mail.example\",#FALSE#",
      "\"shop.example.\",#FALSE#",         "\"ads.example\",#TRUE#",
      "\"ads.example:80\",#FALSE#",        "\"a:8080\",#FALSE#",
      "\"Caps.Example\",#FALSE#",          "\"a b\",#FALSE#"};
  const std::vector<std::pair<std::string, bool>> verdicts = {
      {"http://intranet.example:8080/", false},
      {"http://intranet.example/", false},
      {"https://mail.example/", false},
      {"http://me@mail.example:25/", false},
      {"http://shop.example/", false},
      {"http://www.shop.example./x", false},
      {"http://ads.example:80/", true},  // the first of its two entries decides
      {"http://a:8080/", false},
      {"http://a/", false},
      {"http://caps.example/", true},  // taken as written, so it never matches
      {"http://a b/", true},           // no host, no match
      {"http://other.example/", true}};
  const auto check = [&](const SiteList& sites, const std::string& when) {
    for (const auto& [address, blocked] : verdicts)
      EXPECT_EQ(IsBlocked(sites, true, GetHostNameFromURL(address)), blocked) << when << address;
  };
  std::string own;
  for (const std::string& record : records)
    own += record + "\r\n";
  for (const char* mark : {"", "\xEF\xBB\xBF"}) {
    for (const char* end : {"\r\n", "\n"}) {
      std::string text = mark;
      for (const std::string& record : records)
        text += record + end;
      const std::string shape = std::string(*mark ? "BOM " : "") + (*end == '\r' ? "CRLF " : "LF ");
      SiteList first = Load(text);
      check(first, shape + "read: ");
      RecordBlockedHosts(files, kListFolder, first, onDisk);
      EXPECT_EQ(Saved(), own) << shape;
      SiteList again = LoadAgain();
      EXPECT_EQ(again.Entries(), first.Entries()) << shape;
      check(again, shape + "read again: ");
    }
  }
}

// A list this run could not read, or one changed since it read or wrote it, is kept before a
// save replaces it: as servers.lst.bak, or under a name no file has when this run made that copy.
TEST_F(SiteFileSave, KeepsAListItDidNotReadBeforeReplacingIt) {
  const std::string theirs = "\"a.example\",#FALSE#\r\n\"b.example\",#FALSE#\r\n";
  files.Lock(kListPath);
  SiteList sites = Load(theirs);
  EXPECT_EQ(sites.Entries(), (std::vector<SiteEntry>{{"", false}}));
  files.Unlock(kListPath);
  sites.Append({"c.example", true});
  RecordBlockedHosts(files, kListFolder, sites, onDisk);
  EXPECT_EQ(Kept(), theirs);
  EXPECT_EQ(Saved(), "\"c.example\",#TRUE#\r\n");
  EXPECT_EQ(reports, (std::vector<std::string>{
                         "servers.lst could not be read when Velmox started; it is kept as "
                         "servers.lst.bak before the list is saved"}));

  reports.clear();
  RecordBlockedHosts(files, kListFolder, sites, onDisk);
  EXPECT_TRUE(reports.empty()) << "the file replaced was the one this run wrote";

  const std::string changed = "\"d.example\",#TRUE#\r\n";
  Write(changed);
  RecordBlockedHosts(files, kListFolder, sites, onDisk);
  EXPECT_EQ(Kept(), theirs);
  EXPECT_EQ(test::ReadRealFile(folder.Path() / "servers.lst.bak1"), changed);
  EXPECT_EQ(reports,
            (std::vector<std::string>{"servers.lst was changed since Velmox read it; it is kept as "
                                      "servers.lst.bak1 before the list is saved"}));

  test::WriteRealFile(folder.Path() / "servers.lst.bak2", "someone else's");
  Write(changed);
  RecordBlockedHosts(files, kListFolder, sites, onDisk);
  EXPECT_EQ(test::ReadRealFile(folder.Path() / "servers.lst.bak2"), "someone else's");
  EXPECT_EQ(test::ReadRealFile(folder.Path() / "servers.lst.bak3"), changed);
  EXPECT_EQ(Saved(), "\"c.example\",#TRUE#\r\n");
}

// Nothing is lost by replacing a missing or empty file; a list held open at the save cannot be
// kept, so it is left as it is.
TEST_F(SiteFileSave, AMissingOrEmptyListIsSavedAsUsualAndAHeldOneIsLeftAlone) {
  SiteList sites = Load("");
  sites.Append({"a.example", true});
  RecordBlockedHosts(files, kListFolder, sites, onDisk);
  std::filesystem::remove(folder.Path() / "servers.lst");
  sites = LoadAgain();
  sites.Append({"b.example", false});
  RecordBlockedHosts(files, kListFolder, sites, onDisk);
  EXPECT_EQ(Saved(), "\"b.example\",#FALSE#\r\n");
  EXPECT_FALSE(CopyExists("servers.lst.bak"));
  EXPECT_TRUE(reports.empty());

  files.Lock(kListPath);
  sites.Append({"c.example", false});
  RecordBlockedHosts(files, kListFolder, sites, onDisk);
  files.Unlock(kListPath);
  EXPECT_EQ(Saved(), "\"b.example\",#FALSE#\r\n");
  EXPECT_FALSE(CopyExists("servers.lst.bak"));
  EXPECT_EQ(reports, (std::vector<std::string>{
                         "servers.lst cannot be read; it is left as it is and the list is not "
                         "saved"}));
}

}  // namespace
}  // namespace velmox
