// Memory that runs out while a settings or annotation file is read refuses
// the file with that reason; it is not thrown out to the program, whose
// start it would end.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>

#include "AddressSpaceLimit.h"
#include "ModelFachade.h"
#include "TemporaryHome.h"
#include "XMLDAOPreferences.h"

namespace fs = std::filesystem;

namespace {

const std::string noMemory = "there is not enough memory to read it";

// The preferences reader, finding no memory for any element it reads.
class StarvedPreferencesReader : public Model::XMLDAOPreferences {
 public:
  StarvedPreferencesReader() : XMLDAOPreferences(nullptr, -1.0) {}

 protected:
  void on_start_element(const Glib::ustring&, const AttributeList&) override { throw std::bad_alloc(); }
};

TEST(MemoryFailureWhileReading, RefusesASettingsFileWithTheReason) {
  TemporaryHome temp;
  const fs::path file = temp.work() / "preferences.xml";
  ASSERT_TRUE(Model::ModelFachade().writePreferences(file.string()));
  Preferences settings;
  StarvedPreferencesReader reader;
  reader.setPreferences(settings);
  reader.set_substitute_entities(true);
  std::string refusal;
  EXPECT_NO_THROW(refusal = reader.readPreferences(file.string()));
  EXPECT_EQ(refusal, noMemory);
}

TEST(MemoryFailureWhileReading, RefusesAnAnnotationFileThatOutgrowsTheMemoryLeft) {
  if (!addressSpaceLimitsApply) GTEST_SKIP() << "address space limits do not apply under a sanitizer";
  TemporaryHome temp;
  const fs::path file = temp.work() / "many.xml";
  {
    // A million circles: 27 MB of text, several times that as shapes.
    std::ofstream out(file);
    out << "<?xml version=\"1.0\"?><Poligonos image=\"a.png\" width=\"100\" height=\"100\">";
    for (int i = 0; i < 1000000; ++i) out << "<Circle x=\"5\" y=\"5\" r=\"1\"/>";
    out << "</Poligonos>";
  }
  EXPECT_EXIT(
      {
        limitAddressSpaceGrowth(std::size_t{32} << 20);
        try {
          const Model::AnnotationRead read = Model::ModelFachade().readAnnotationFile(file.string());
          // libxml2 may be the one that finds no memory; it says so in its own words.
          const bool saysWhy =
              read.refusal() == noMemory || read.refusal().find("Memory allocation failed") != std::string::npos;
          std::_Exit(saysWhy ? 0 : 1);
        } catch (...) {
          std::_Exit(2);
        }
      },
      testing::ExitedWithCode(0), "");
}

}  // namespace
