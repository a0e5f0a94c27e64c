// A preferences file that is not a regular file is refused at once: a pipe
// nobody writes to would keep the reader waiting for ever, with the program
// that asked for it.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "EndsWithin.h"
#include "ModelFachade.h"
#include "TemporaryHome.h"

namespace fs = std::filesystem;

namespace {

TEST(NonRegularSettingsFile, IsRefusedAtOnceAndChangesNoSetting) {
  TemporaryHome temp;
  const fs::path pipe = temp.work() / "pipe.xml";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const fs::path folder = temp.work() / "folder.xml";
  fs::create_directory(folder);
  for (const fs::path& file : {pipe, folder, fs::path("/dev/zero")}) {
    EXPECT_TRUE(endsWithin(20, [&] {
      Model::ModelFachade model;
      model.set_image_folder("/kept");
      model.setCalibration(0.25);
      const std::string refusal = model.readPreferencesXMLFile(file.string());
      if (refusal != "it is not a regular file") _exit(1);
      if (model.get_image_folder() != "/kept" || model.getCalibration() != 0.25) _exit(2);
    })) << file;
  }
}

TEST(NonRegularSettingsFile, ARegularFileIsStillRead) {
  TemporaryHome temp;
  const fs::path file = temp.work() / "preferences.xml";
  Model::ModelFachade writer;
  writer.set_image_folder("/pictures");
  ASSERT_TRUE(writer.writePreferences(file.string()));
  Model::ModelFachade reader;
  EXPECT_EQ(reader.readPreferencesXMLFile(file.string()), "");
  EXPECT_EQ(reader.get_image_folder(), "/pictures");
  EXPECT_EQ(reader.readPreferencesXMLFile((temp.work() / "missing.xml").string()), "the file does not exist");
}

}  // namespace
