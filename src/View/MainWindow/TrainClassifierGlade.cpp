#include "TrainClassifierGlade.h"

#include <exception>
#include <iostream>

#include "Actions.h"
#include "BuilderWidget.h"
#include "DialogChoosers.h"
#include "DialogLoop.h"
#include "InterfaceFile.h"
#include "PreferencesSample.h"

TrainClassifierGlade::TrainClassifierGlade(const std::string& gladeFile, PreferencesSample* preferences,
                                           Actions* actions, Gtk::Window* parent)
    : refBuilder(loadInterfaceFile(gladeFile)),
      preferences(preferences),
      actions(actions),
      parent(parent),
      imageButton(findBuilderWidget<Gtk::Button>(refBuilder, "imageButton")),
      xmlButton(findBuilderWidget<Gtk::Button>(refBuilder, "xmlButton")),
      okButton(findBuilderWidget<Gtk::Button>(refBuilder, "OkButton")),
      cancelButton(findBuilderWidget<Gtk::Button>(refBuilder, "CancelButton")),
      selectxmlButton(findBuilderWidget<Gtk::Button>(refBuilder, "selectImagesButton")),
      imageEntry(findBuilderWidget<Gtk::Entry>(refBuilder, "imageEntry")),
      xmlEntry(findBuilderWidget<Gtk::Entry>(refBuilder, "xmlEntry")),
      paned(findBuilderWidget<Gtk::Paned>(refBuilder, "paned1")),
      fileList("Image file"),
      complete(imageButton && xmlButton && okButton && cancelButton && selectxmlButton && imageEntry && xmlEntry &&
               paned),
      gladeFile(gladeFile) {
  if (!complete) return;
  fileList.attachTo(*paned);
  imageButton->signal_clicked().connect(sigc::mem_fun(*this, &TrainClassifierGlade::image_button_clicked));
  xmlButton->signal_clicked().connect(sigc::mem_fun(*this, &TrainClassifierGlade::xml_button_clicked));
  cancelButton->signal_clicked().connect(sigc::mem_fun(*this, &TrainClassifierGlade::cancel_button_clicked));
  // Through the virtual operation, so the species variant's OK runs.
  okButton->signal_clicked().connect([this] { ok_button_clicked(); });
  selectxmlButton->signal_clicked().connect(sigc::mem_fun(*this, &TrainClassifierGlade::onSelectXmlFilesButton));
  // The pictures are chosen in this dialog: a list another dialog left in the
  // shared settings is not trained on.
  preferences->clearImageFiles();
  imageEntry->set_text(preferences->getImagePath());
  xmlEntry->set_text(preferences->getXmlPath());
}

TrainClassifierGlade::~TrainClassifierGlade() {
  // The builder hands its top-level window to whoever looks it up.
  delete window;
}

void TrainClassifierGlade::run(const char* windowId) {
  window = complete ? findBuilderWidget<Gtk::Window>(refBuilder, windowId) : nullptr;
  if (window == nullptr) {
    actions->showMessage("The dialog cannot be opened: its interface file " + gladeFile + " is missing or incomplete.");
    return;
  }
  DialogLoop(*window, parent).run();
}

void TrainClassifierGlade::image_button_clicked() { fileChooser(0, "Please choose a image folder"); }

void TrainClassifierGlade::xml_button_clicked() { fileChooser(1, "Please choose a XML files folder"); }

void TrainClassifierGlade::fileChooser(int mode, std::string title) {
  const DialogChoosers::FolderChoice choice = DialogChoosers::chooseFolder(window, title);
  if (choice.answer != DialogChoosers::Answer::Chosen) return;
  if (mode == 0) {
    imageEntry->set_text(choice.folder);
    if (!choice.folder.empty()) preferences->setImagePath(choice.folder);
  } else if (mode == 1) {
    xmlEntry->set_text(choice.folder);
    if (!choice.folder.empty()) preferences->setXmlPath(choice.folder);
  }
}

void TrainClassifierGlade::onSelectXmlFilesButton() {
  fileList.choose(*preferences, window, "Please choose image files", preferences->getImagePath(),
                  {DialogChoosers::makeFilter("Files", {"*.tif", "*.jpg", "*.png", "*.ppm"}),
                   DialogChoosers::makeFilter("Any files", {"*"})},
                  "Image files");
}

void TrainClassifierGlade::train(int index) {
  // The use case reports the outcome of a training that runs to its end; one
  // that stops with an exception is reported here, so that no failure looks
  // like a success and the program goes on.
  try {
    actions->trainClassifier(preferences->getImagesFiles(), preferences->getXmlPath(), preferences->getImagePath(),
                             index);
  } catch (int code) {
    std::cerr << "Training stopped with error " << code << std::endl;
    actions->showMessage("The training stopped with error " + std::to_string(code) + ".");
  } catch (const std::exception& error) {
    std::cerr << "Training stopped: " << error.what() << std::endl;
    actions->showMessage(std::string("The training stopped: ") + error.what());
  }
}

void TrainClassifierGlade::finish() {
  preferences->clearImageFiles();
  fileList.clear();
  if (window != nullptr) window->hide();
}

void TrainClassifierGlade::ok_button_clicked() {
  train(0);
  if (window != nullptr) window->hide();
}

void TrainClassifierGlade::cancel_button_clicked() { finish(); }
