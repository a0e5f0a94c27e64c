#include <gtest/gtest.h>
#include <libxml++/exceptions/exception.h>

#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "FileText.h"
#include "Preferences.h"
#include "XMLDAOPreferences.h"

namespace fs = std::filesystem;

namespace {

const fs::path dataFolder = PREFERENCES_TEST_DATA;

// Reads a preferences document into `p` as the model does.
void readInto(Preferences& p, const std::string& xml) {
  Model::XMLDAOPreferences reader(nullptr, -1.0);
  reader.setPreferences(p);
  reader.set_substitute_entities(true);
  reader.parse_memory(xml);
}

void readFileInto(Preferences& p, const fs::path& file) {
  Model::XMLDAOPreferences reader(nullptr, -1.0);
  reader.setPreferences(p);
  reader.set_substitute_entities(true);
  reader.parse_file(file.string());
}

bool write(Preferences& p, const fs::path& file) {
  Model::XMLDAOPreferences writer(nullptr, -1.0);
  return writer.writePreferences(file.string(), &p);
}

size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class PreferencesFile : public testing::Test {
 protected:
  void SetUp() override {
    folder = fs::temp_directory_path() /
             ("preferences-test-" + std::to_string(::getpid()) + "-" +
              testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
  void TearDown() override { fs::remove_all(folder); }

  fs::path folder;
};

TEST_F(PreferencesFile, DefaultsAreWrittenByteForByte) {
  Preferences defaults;
  const fs::path file = folder / "preferences.xml";
  ASSERT_TRUE(write(defaults, file));
  EXPECT_EQ(readFileText(file), readFileText(dataFolder / "defaults.xml"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1)
      << "no temporary file is left behind";
}

TEST_F(PreferencesFile, ReadingTheDefaultsFileRestoresEveryWrittenSetting) {
  Preferences p;
  p.setAlgorithm(3);
  p.setCalibration(0.25);
  p.setDiameters(10, 20);
  p.setImagePath("/a");
  p.setXmlPath("/b");
  p.setCsvPath("/c");
  p.setPointPreferences({0.5, 0.5, 0.5, 0.5, 1});
  p.setCirclePreferences({0.5, 0.5, 0.5, 0.5, 1});
  p.setRegionPreferences({0.5, 0.5, 0.5, 0.5, 1});
  p.getClassPreferences()[1] = {0.5, 0.5, 0.5, 0.5};
  p.getClassNamesPreferences()[2] = "Other";
  p.getProblemNames()[7] = "Species";
  p.setProblemActive(7);

  readFileInto(p, dataFolder / "defaults.xml");

  const fs::path file = folder / "again.xml";
  ASSERT_TRUE(write(p, file));
  EXPECT_EQ(readFileText(file), readFileText(dataFolder / "defaults.xml"));
}

TEST_F(PreferencesFile, NonDefaultSettingsSurviveARoundTrip) {
  Preferences written;
  written.setAlgorithm(101);
  written.setCalibration(0.123456);
  written.setDiameters(12, 345);
  written.setImagePath("/data/Ñandú & <images>");
  written.setXmlPath("/data/\"xml\"");
  written.setCsvPath("");
  written.setPointPreferences({0.1, 0.2, 0.3, 0.4, 2.5});
  written.setClassPreferences(
      {{0.5, 0.25, 0.125, 1}, {1, 0, 0, 0.5}, {0, 1, 0, 1}, {0, 0, 1, 1}, {0.75, 0.75, 0.75, 0.25}});
  written.setClassNamesPreferences({"Early", "Late", "Ripe", "Empty", "Extra"});
  written.getProblemNames()[29] = "Last species";
  written.setProblemActive(29);
  const fs::path file = folder / "preferences.xml";
  ASSERT_TRUE(write(written, file));

  Preferences read;
  readFileInto(read, file);
  EXPECT_EQ(read.getAlgorithm(), 101);
  EXPECT_TRUE(read.isCalibrationActive());
  EXPECT_DOUBLE_EQ(read.getCalibration(), 0.123456);
  EXPECT_EQ(read.getMinimumDiameter(), 12);
  EXPECT_EQ(read.getMaximumDiameter(), 345);
  EXPECT_EQ(read.getImagePath(), written.getImagePath());
  EXPECT_EQ(read.getXmlPath(), written.getXmlPath());
  EXPECT_EQ(read.getCsvPath(), "");
  EXPECT_EQ(read.getPointPreferences(), written.getPointPreferences());
  EXPECT_EQ(read.getClassPreferences(), written.getClassPreferences());
  EXPECT_EQ(read.getClassNamesPreferences(), written.getClassNamesPreferences());
  EXPECT_EQ(read.getProblemNames(), written.getProblemNames());
  EXPECT_EQ(read.getProblemActive(), 29);
}

// Documents for the reading cases.
std::string document(const std::string& body, const std::string& rootAttributes = "System=\"10\"") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Preferences " + rootAttributes + ">" + body +
         "</Preferences>";
}

const std::string fourClasses =
    "<CategoryPreferences type=\"C0\" blue=\"0.1\" red=\"0.1\" green=\"0.1\" alpha=\"1\"/>"
    "<CategoryPreferences type=\"C1\" blue=\"0.2\" red=\"0.2\" green=\"0.2\" alpha=\"1\"/>"
    "<CategoryPreferences type=\"C2\" blue=\"0.3\" red=\"0.3\" green=\"0.3\" alpha=\"1\"/>"
    "<CategoryPreferences type=\"C3\" blue=\"0.4\" red=\"0.4\" green=\"0.4\" alpha=\"1\"/>";

// `count` Problem elements named P0, P1, ...; those listed in `active` are marked active.
std::string problems(int count, std::vector<int> active) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    const bool on = std::find(active.begin(), active.end(), i) != active.end();
    text += "<Problem Clave=\"K\" Name=\"P" + std::to_string(i) + "\" Active=\"" + (on ? "true" : "false") + "\"/>";
  }
  return text;
}

// The state every reading case starts from: some settings differ from the
// defaults, so that the cases can tell what a file kept and what it changed.
Preferences prepared() {
  Preferences p;
  p.getProblemNames()[3] = "Kept";
  p.setProblemActive(3);
  p.setCalibration(0.25);
  p.setDiameters(300, 900);
  return p;
}

TEST(PreferencesFileReading, EdgeCases) {
  using Check = std::function<void(Preferences&)>;
  struct Case {
    const char* what;
    std::string xml;
    Check check;
  };
  const std::vector<Case> cases = {
      {"without categories the class and problem lists stay", document(problems(30, {0})),
       [](Preferences& p) {
         EXPECT_EQ(p.getClassNamesPreferences()[0], "Alveolo");
         EXPECT_EQ(p.getProblemNames()[3], "Kept");
         EXPECT_EQ(p.getProblemNames()[0], "");
         EXPECT_EQ(p.getProblemActive(), 3);
       }},
      {"fewer problems than keys are padded to one name per key", document(fourClasses + problems(3, {1})),
       [](Preferences& p) {
         ASSERT_EQ(p.getProblemNames().size(), 30u);
         EXPECT_EQ(p.getProblemNames()[2], "P2");
         EXPECT_EQ(p.getProblemNames()[3], "");
         EXPECT_EQ(p.getProblemActive(), 1);
         EXPECT_EQ(p.getClassNamesPreferences(), (std::vector<std::string>{"C0", "C1", "C2", "C3"}));
       }},
      {"fewer classes than the fixed four keep the default classes they lack",
       document("<CategoryPreferences type=\"C0\" blue=\"0.1\" red=\"0.1\" green=\"0.1\" alpha=\"1\"/>"
                "<CategoryPreferences type=\"C1\" blue=\"0.2\" red=\"0.2\" green=\"0.2\" alpha=\"1\"/>" +
                problems(30, {})),
       [](Preferences& p) {
         const auto defaults = PreferencesDefaults::lumora();
         ASSERT_EQ(p.getClassPreferences().size(), 4u);
         EXPECT_EQ(p.getClassPreferences()[1], (std::vector<double>{0.2, 0.2, 0.2, 1}));
         EXPECT_EQ(p.getClassPreferences()[2], defaults.classColours[2]);
         EXPECT_EQ(p.getClassPreferences()[3], defaults.classColours[3]);
         EXPECT_EQ(p.getClassNamesPreferences(), (std::vector<std::string>{"C0", "C1", "Hydrated", "Void"}));
       }},
      {"more problems than keys are cut; a selection beyond the keys is dropped",
       document(fourClasses + problems(32, {31})),
       [](Preferences& p) {
         ASSERT_EQ(p.getProblemNames().size(), 30u);
         EXPECT_EQ(p.getProblemNames()[29], "P29");
         EXPECT_EQ(p.getProblemActive(), -1);
       }},
      {"more problems than keys keep a selection within the keys", document(fourClasses + problems(32, {5})),
       [](Preferences& p) { EXPECT_EQ(p.getProblemActive(), 5); }},
      {"no active problem selects none", document(fourClasses + problems(30, {})),
       [](Preferences& p) { EXPECT_EQ(p.getProblemActive(), -1); }},
      {"several active problems select the last", document(fourClasses + problems(30, {2, 9})),
       [](Preferences& p) { EXPECT_EQ(p.getProblemActive(), 9); }},
      {"Active must be exactly \"true\"",
       document(fourClasses + "<Problem Name=\"x\" Active=\"TRUE\"/><Problem Name=\"y\" Active=\"1\"/>"),
       [](Preferences& p) { EXPECT_EQ(p.getProblemActive(), -1); }},
      {"style values fill the list in attribute order",
       document("<PointPreference red=\"0.25\" blue=\"0.75\"/>"),
       [](Preferences& p) { EXPECT_EQ(p.getPointPreferences(), (std::vector<double>{0.25, 0.75, 0, 1, 5})); }},
      {"decimal commas: colours and calibration read them, width stops at the comma",
       document("<Calibration Active=\"1\" Value=\"0,5\"/>"
                "<RegionPreference blue=\"0,5\" red=\"1\" green=\"0\" alpha=\"1\" width=\"2,5\"/>"),
       [](Preferences& p) {
         EXPECT_DOUBLE_EQ(p.getCalibration(), 0.5);
         EXPECT_EQ(p.getRegionPreferences(), (std::vector<double>{0.5, 1, 0, 1, 2}));
       }},
      {"Active 0 switches calibration off and resets the factor",
       document("<Calibration Active=\"0\" Value=\"3.0\" minDiameter=\"10\" maxDiameter=\"20\"/>"),
       [](Preferences& p) {
         EXPECT_FALSE(p.isCalibrationActive());
         EXPECT_DOUBLE_EQ(p.getCalibration(), 1.0);
         EXPECT_EQ(p.getMinimumDiameter(), 10);
         EXPECT_EQ(p.getMaximumDiameter(), 20);
       }},
      {"a calibration that is not finite or not positive is no calibration",
       document("<Calibration Active=\"1\" Value=\"nan\"/>"),
       [](Preferences& p) {
         for (const char* value : {"nan", "inf", "-inf", "1e400", "0", "-0.5"}) {
           readInto(p, document(std::string("<Calibration Active=\"1\" Value=\"") + value + "\"/>"));
           EXPECT_FALSE(p.isCalibrationActive()) << value;
           EXPECT_DOUBLE_EQ(p.getCalibration(), 1.0) << value;
         }
       }},
      {"invalid diameter limits keep the current ones",
       document("<Calibration Active=\"1\" Value=\"2\" minDiameter=\"2\" maxDiameter=\"100\"/>"),
       [](Preferences& p) {
         EXPECT_EQ(p.getMinimumDiameter(), 300);
         EXPECT_EQ(p.getMaximumDiameter(), 900);
       }},
      {"a Calibration without attributes keeps the current calibration", document("<Calibration/>"),
       [](Preferences& p) {
         EXPECT_TRUE(p.isCalibrationActive());
         EXPECT_DOUBLE_EQ(p.getCalibration(), 0.25);
         EXPECT_EQ(p.getMinimumDiameter(), 300);
         EXPECT_EQ(p.getMaximumDiameter(), 900);
       }},
      {"a Calibration without Active keeps the current switch", document("<Calibration Value=\"0.5\"/>"),
       [](Preferences& p) {
         EXPECT_TRUE(p.isCalibrationActive());
         EXPECT_DOUBLE_EQ(p.getCalibration(), 0.5);
       }},
      {"a category without some colour attributes keeps the current colour of that class",
       document("<CategoryPreferences type=\"First\" blue=\"0.5\"/><CategoryPreferences type=\"Second\"/>"
                "<CategoryPreferences type=\"Third\"/><CategoryPreferences type=\"Fourth\"/>"
                "<CategoryPreferences red=\"0.5\"/>"),
       [](Preferences& p) {
         const auto& colours = p.getClassPreferences();
         ASSERT_EQ(colours.size(), 5u);
         EXPECT_EQ(colours[0], (std::vector<double>{0.5, 1, 1, 1}));
         EXPECT_EQ(colours[3], (std::vector<double>{1, 0, 1, 1}));
         EXPECT_EQ(colours[4], (std::vector<double>{0, 0.5, 0, 0}));
         EXPECT_EQ(p.getClassNamesPreferences()[4], "");
       }},
      {"non-numeric text reads as 0", document("", "System=\"abc\""),
       [](Preferences& p) { EXPECT_EQ(p.getAlgorithm(), 0); }},
      {"a folder element without dir empties the folder", document("<ImagePath/><XMLPath dir=\"/x\"/>"),
       [](Preferences& p) {
         EXPECT_EQ(p.getImagePath(), "");
         EXPECT_EQ(p.getXmlPath(), "/x");
         EXPECT_EQ(p.getCsvPath(), "/home");
       }},
      {"unknown elements and attributes are ignored",
       document("<Other System=\"3\"/><PointPreference colour=\"0.5\" blue=\"0.5\"/>", "System=\"7\" Other=\"1\""),
       [](Preferences& p) {
         EXPECT_EQ(p.getAlgorithm(), 7);
         EXPECT_EQ(p.getPointPreferences(), (std::vector<double>{0.5, 1, 0, 1, 5}));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Preferences p = prepared();
    readInto(p, c.xml);
    c.check(p);
    EXPECT_EQ(p.getProblemNames().size(), p.getProblemsClaves().size());
  }
}

TEST_F(PreferencesFile, AShortProblemListIsWrittenBackWithOneProblemPerKey) {
  Preferences p;
  readInto(p, document(fourClasses + problems(3, {1})));
  const fs::path file = folder / "preferences.xml";
  ASSERT_TRUE(write(p, file));
  const std::string text = readFileText(file);
  EXPECT_EQ(count(text, "<Problem "), 30u);
  EXPECT_EQ(count(text, "Active=\"true\""), 1u);
  EXPECT_NE(text.find("<Problem Clave=\"B\" Name=\"P1\" Active=\"true\"/>"), std::string::npos);
}

TEST_F(PreferencesFile, ATruncatedFileFailsAndLeavesConsistentSettings) {
  Preferences written;
  written.setAlgorithm(7);
  written.getProblemNames()[20] = "Deep";
  written.setProblemActive(20);
  const fs::path file = folder / "preferences.xml";
  ASSERT_TRUE(write(written, file));
  const std::string whole = readFileText(file);

  // Cut inside the class list, and inside the problem list.
  for (const std::string& cutBefore : {std::string("<CategoryPreferences type=\"Hydrated\""),
                                       std::string("<Problem Clave=\"M\"")}) {
    SCOPED_TRACE(cutBefore);
    const size_t cut = whole.find(cutBefore);
    ASSERT_NE(cut, std::string::npos);
    writeFileText(file, whole.substr(0, cut + 10));

    Preferences p;
    EXPECT_THROW(readFileInto(p, file), xmlpp::exception);
    EXPECT_EQ(p.getAlgorithm(), 7) << "what was read before the error stays applied";
    EXPECT_EQ(p.getProblemNames().size(), p.getProblemsClaves().size());
    EXPECT_EQ(p.getClassNamesPreferences().size(), p.getClassPreferences().size());
    EXPECT_LT(p.getProblemActive(), static_cast<int>(p.getProblemsClaves().size()));
  }
}

TEST_F(PreferencesFile, AMissingFileRaisesTheLibraryException) {
  Preferences p;
  EXPECT_THROW(readFileInto(p, folder / "absent.xml"), xmlpp::exception);
}

TEST_F(PreferencesFile, AFailedWriteReportsFailureAndLeavesTheOldFile) {
  const fs::path file = folder / "preferences.xml";
  writeFileText(file, "old contents");
  // The target is marked read-only.
  fs::permissions(file, fs::perms::owner_read);
  Preferences p;
  EXPECT_FALSE(write(p, file));
  EXPECT_EQ(readFileText(file), "old contents");

  EXPECT_FALSE(write(p, folder / "missing-folder" / "preferences.xml"));
  EXPECT_FALSE(fs::exists(folder / "missing-folder"));
}

// Switches the process to a locale with a decimal comma for one test.
class DecimalCommaLocale {
 public:
  DecimalCommaLocale() {
    previous = std::setlocale(LC_ALL, nullptr);
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"})
      if (std::setlocale(LC_ALL, name) != nullptr) {
        active = true;
        break;
      }
  }
  ~DecimalCommaLocale() { std::setlocale(LC_ALL, previous.c_str()); }
  bool isActive() const { return active; }

 private:
  std::string previous;
  bool active = false;
};

TEST_F(PreferencesFile, NumbersKeepADecimalPointUnderADecimalCommaLocale) {
  DecimalCommaLocale locale;
  if (!locale.isActive()) GTEST_SKIP() << "no de_DE locale installed (localedef -i de_DE -f UTF-8 de_DE.UTF-8)";
  char printed[32];
  std::snprintf(printed, sizeof printed, "%f", 0.5);
  ASSERT_STREQ(printed, "0,500000") << "the locale should print a decimal comma";

  Preferences written;
  written.setCalibration(0.5);
  written.setPointPreferences({0.25, 0.5, 0.75, 1, 2.5});
  const fs::path file = folder / "preferences.xml";
  ASSERT_TRUE(write(written, file));
  const std::string text = readFileText(file);
  EXPECT_NE(text.find("Value=\"0.500000\""), std::string::npos);
  EXPECT_NE(text.find("width=\"2.500000\""), std::string::npos);
  EXPECT_EQ(text.find(','), std::string::npos);

  Preferences read;
  readFileInto(read, file);
  EXPECT_DOUBLE_EQ(read.getCalibration(), 0.5);
  EXPECT_EQ(read.getPointPreferences(), (std::vector<double>{0.25, 0.5, 0.75, 1, 2.5}));
}

}  // namespace
