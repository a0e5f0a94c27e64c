// A settings or annotation file far longer than any the programs write is
// refused after little of it was read, in little memory, whatever its length
// (also beyond what an int counts); a settings file beyond the bound the
// reader keeps to is refused before a byte of it is read, and the writer
// keeps to the same bound.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "AddressSpaceLimit.h"
#include "FileText.h"
#include "ModelFachade.h"
#include "ProcessFigure.h"
#include "TemporaryHome.h"
#include "XMLDAOPreferences.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t mebibyte = std::size_t{1} << 20;
constexpr std::size_t gibibyte = std::size_t{1} << 30;
constexpr std::size_t bound = Model::XMLDAOPreferences::largestFile;
const std::string tooLarge =
    "it is larger than 64 MiB, far larger than any preferences file the program writes";

// Writes `start` to `file` and makes the file `length` bytes long; the rest
// is a hole that reads as zero bytes and takes no room on the disk.
void writeSparse(const fs::path& file, const std::string& start, std::size_t length) {
  const int descriptor = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(descriptor, 0);
  ASSERT_EQ(write(descriptor, start.data(), start.size()), static_cast<ssize_t>(start.size()));
  ASSERT_EQ(ftruncate(descriptor, static_cast<off_t>(length)), 0);
  close(descriptor);
}

struct ChildRun {
  int exitCode = -1;  // -1 when the child did not exit on its own
  std::size_t peakResidentBytes = 0;
};

// Runs `work` in a child process; its exit code is what `work` returns, 3
// when an exception ended it.
ChildRun runChild(const std::function<int()>& work) {
  const pid_t child = fork();
  if (child == 0) {
    int code = 3;
    try {
      code = work();
    } catch (...) {
    }
    _exit(code);
  }
  ChildRun run;
  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  run.peakResidentBytes = static_cast<std::size_t>(usage.ru_maxrss) * 1024;
  return run;
}

std::string readSettings(const fs::path& file) { return Model::ModelFachade().readPreferencesXMLFile(file.string()); }
std::string readAnnotation(const fs::path& file) {
  return Model::ModelFachade().readAnnotationFile(file.string()).refusal();
}

struct HugeFile {
  const char* what;
  std::string start;
  std::size_t length;
  std::function<std::string(const fs::path&)> read;
  std::string refusal;  // the reason expected; any reason when empty
};

TEST(HugeFile, IsRefusedAfterReadingLittleOfItInLittleMemory) {
  const std::string annotation =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Poligonos image=\"a.png\" width=\"100\" height=\"100\">"
      "<Circle id=\"1\" x=\"50\" y=\"50\" r=\"5\"/>";
  const std::vector<HugeFile> cases = {
      {"settings of 1 GiB", "", gibibyte, readSettings, tooLarge},
      {"settings of 3 GiB after a valid start", "<?xml version=\"1.0\"?><Preferences System=\"10\">", 3 * gibibyte,
       readSettings, tooLarge},
      {"annotation of 1 GiB", "", gibibyte, readAnnotation, ""},
      {"annotation beyond 2 GiB after a valid start", annotation, 2 * gibibyte + mebibyte, readAnnotation, ""},
      {"annotation beyond 2 GiB inside an element's tag", annotation + "<Circle id=\"2\" ", 2 * gibibyte + mebibyte,
       readAnnotation, ""},
  };
  TemporaryHome temp;
  const fs::path file = temp.work() / "huge.xml";
  const std::size_t baseline = runChild([] { return 0; }).peakResidentBytes;
  for (const HugeFile& huge : cases) {
    SCOPED_TRACE(huge.what);
    writeSparse(file, huge.start, huge.length);
    const ChildRun run = runChild([&huge, &file] {
      // Where the limit applies, a whole read ends the child instead of the machine's memory.
      if (addressSpaceLimitsApply) limitAddressSpaceGrowth(512 * mebibyte);
      const std::size_t before = bytesReadSoFar();
      const std::string refusal = huge.read(file);
      if (refusal.empty() || (!huge.refusal.empty() && refusal != huge.refusal)) return 1;
      return bytesReadSoFar() - before > 32 * mebibyte ? 2 : 0;
    });
    EXPECT_EQ(run.exitCode, 0) << "1: not refused as expected, 2: read far into the file, 3: ended by an exception";
    EXPECT_LT(run.peakResidentBytes, baseline + 128 * mebibyte);
  }
}

TEST(SettingsFileBound, AFileBeyondItIsRefusedBeforeAByteIsRead) {
  TemporaryHome temp;
  const fs::path file = temp.work() / "preferences.xml";
  // Read, the start sets the picture folder before the zero bytes end the parse.
  const std::string start = "<?xml version=\"1.0\"?><Preferences System=\"10\"><ImagePath dir=\"/read\"/>";
  struct Case {
    std::size_t length;
    std::string refusal;
    std::string folder;
  };
  for (const Case& c : {Case{bound, "", "/read"}, Case{bound + 1, tooLarge, "/kept"}}) {
    SCOPED_TRACE(c.length);
    writeSparse(file, start, c.length);
    Model::ModelFachade model;
    model.set_image_folder("/kept");
    EXPECT_EQ(model.readPreferencesXMLFile(file.string()), c.refusal);
    EXPECT_EQ(model.get_image_folder(), c.folder);
  }
}

TEST(SettingsFileBound, TheWriterKeepsToItWithRoomForAllTheDialogCanHold) {
  TemporaryHome temp;
  const fs::path file = temp.work() / "preferences.xml";
  // The longest the dialog can make: folders of PATH_MAX bytes and names of
  // the most characters an entry takes, all of them escaped on writing.
  const std::string longestFolder(4095, '"');
  const std::string longestName(65535, '"');
  Model::ModelFachade longest;
  Preferences& settings = *longest.getPreferences();
  settings.setImagePath(longestFolder);
  settings.setXmlPath(longestFolder);
  settings.setCsvPath(longestFolder);
  settings.setClassPreferences(std::vector<std::vector<double>>(14, {0.5, 0.5, 0.5, 1}));
  settings.setClassNamesPreferences(std::vector<std::string>(14, longestName));
  settings.setProblemNames(std::vector<std::string>(settings.getProblemsClaves().size(), longestName));
  ASSERT_TRUE(longest.writePreferences(file.string()));
  const std::string written = readFileText(file);
  Model::ModelFachade reader;
  EXPECT_EQ(reader.readPreferencesXMLFile(file.string()), "");
  // Compared without printing: a difference would fill the screen.
  EXPECT_TRUE(reader.getPreferences()->getClassNamesPreferences() == settings.getClassNamesPreferences());
  EXPECT_TRUE(reader.getPreferences()->getProblemNames() == settings.getProblemNames());

  Model::ModelFachade beyond;
  beyond.set_image_folder(std::string(bound, 'a'));
  EXPECT_FALSE(beyond.writePreferences(file.string()));
  EXPECT_TRUE(readFileText(file) == written) << "the old file was replaced";
}

}  // namespace
