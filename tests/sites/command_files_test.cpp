#include "sites/command_files.h"

#include <gtest/gtest.h>

#include "support/memory_files.h"

namespace velmox {
namespace {

const std::string kFolder = "C:\\Program Files\\Velmox";
const std::string kToken = "0123456789";

std::string PathOf(const std::string& name) {
  return kFolder + "\\" + name;
}

const char kBlockScript[] =
    "<SCRIPT language=VBScript>\r\n"
    "external.menuArguments.Parent.Parent.Parent.navigate "
    "\"file://C:\\Program Files\\Velmox\\b0123456789.html\"\r\n"
    "</SCRIPT>";

const char kTrustScript[] =
    "<SCRIPT language=VBScript>\r\n"
    "external.menuArguments.Parent.Parent.Parent.navigate "
    "\"file://C:\\Program Files\\Velmox\\t0123456789.html\"\r\n"
    "</SCRIPT>";

const char kBlockPage[] =
    "<html>\r\n"
    "<head>\r\n"
    "<title>Could not disallow pop-ups for this site</title>\r\n"
    "</head>\r\n"
    "<body>\r\n"
    "<script language=VBScript>\r\n"
    "history.back\r\n"
    "</script>\r\n"
    "Error: Could not disallow pop-ups for this site.<br>\r\n"
    "To allow/disallow a site's pop-ups, Velmox must be running.<br>\r\n"
    "Please run Velmox and try again.\r\n"
    "</body>\r\n"
    "</html>";

const char kTrustPage[] =
    "<html>\r\n"
    "<head>\r\n"
    "<title>Could not allow pop-ups for this site</title>\r\n"
    "</head>\r\n"
    "<body>\r\n"
    "<script language=VBScript>\r\n"
    "history.back\r\n"
    "</script>\r\n"
    "Error: Could not allow pop-ups for this site.<br>\r\n"
    "To allow/disallow a site's pop-ups, Velmox must be running.<br>\r\n"
    "Please run Velmox and try again.\r\n"
    "</body>\r\n"
    "</html>";

// A full disk must not leave a half-written script behind: being present, it would never be
// written again and the context-menu entry would stay broken.
TEST(CreateHTML, FullDiskLeavesNoHalfWrittenFile) {
  test::MemoryFiles files;
  files.diskFull = true;
  CreateHTML(files, kFolder, kToken);
  EXPECT_TRUE(files.files.empty());

  files.diskFull = false;
  CreateHTML(files, kFolder, kToken);
  EXPECT_EQ(files.Content(PathOf("blocksite.script")), kBlockScript);
  EXPECT_EQ(files.Content(PathOf("t0123456789.html")), kTrustPage);
}

TEST(CreateHTML, FirstStartWritesTheFourFilesByteForByte) {
  test::MemoryFiles files;
  CreateHTML(files, kFolder, kToken);
  EXPECT_EQ(files.files.size(), 4u);
  EXPECT_EQ(files.Content(PathOf("blocksite.script")), kBlockScript);
  EXPECT_EQ(files.Content(PathOf("trustsite.script")), kTrustScript);
  EXPECT_EQ(files.Content(PathOf("b0123456789.html")), kBlockPage);
  EXPECT_EQ(files.Content(PathOf("t0123456789.html")), kTrustPage);
}

TEST(CreateHTML, PresentFilesAreLeftAloneAndEmptyOnesRewritten) {
  test::MemoryFiles files;
  files.files[PathOf("blocksite.script")] = "from an earlier token";
  files.files[PathOf("trustsite.script")] = "x";
  files.files[PathOf("b0123456789.html")] = "";
  files.files[PathOf("t0123456789.html")] = "kept";
  CreateHTML(files, kFolder, kToken);
  EXPECT_EQ(files.Content(PathOf("blocksite.script")), "from an earlier token");
  EXPECT_EQ(files.Content(PathOf("trustsite.script")), "x");
  EXPECT_EQ(files.Content(PathOf("b0123456789.html")), kBlockPage);
  EXPECT_EQ(files.Content(PathOf("t0123456789.html")), "kept");
}

TEST(CreateHTML, UnwritableFileIsSkippedAndTheOthersStillWritten) {
  test::MemoryFiles files;
  files.failingPaths.insert(PathOf("trustsite.script"));
  CreateHTML(files, kFolder, kToken);
  EXPECT_FALSE(files.Has(PathOf("trustsite.script")));
  EXPECT_EQ(files.Content(PathOf("blocksite.script")), kBlockScript);
  EXPECT_EQ(files.Content(PathOf("t0123456789.html")), kTrustPage);
}

}  // namespace
}  // namespace velmox
