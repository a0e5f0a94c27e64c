#include "TrainClassifierGladeZelvora.h"

#include <iostream>

#include "Actions.h"
#include "BuilderWidget.h"
#include "PreferencesSample.h"

TrainClassifierGladeZelvora::TrainClassifierGladeZelvora(const std::string& gladeFile, PreferencesSample* preferences,
                                                         Actions* actions, Gtk::Window* parent)
    : TrainClassifierGlade(gladeFile, preferences, actions, parent),
      selectSpecies(findBuilderWidget<Gtk::ComboBoxText>(refBuilder, "ComboBoxTextSelectSpecies")),
      names(preferences->getProblemNames()) {
  complete = complete && selectSpecies != nullptr;
  if (complete) {
    // Unnamed species are not offered; none is chosen at first.
    for (const std::string& name : names)
      if (!name.empty()) selectSpecies->append(name);
    selectSpecies->signal_changed().connect(sigc::mem_fun(*this, &TrainClassifierGladeZelvora::onSpeciesChanged));
  }
  run("TrainClassifier");
}

int TrainClassifierGladeZelvora::speciesIndex(const std::vector<std::string>& names, const std::string& text) {
  int index = -1;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == text) index = static_cast<int>(i);
  return index;
}

void TrainClassifierGladeZelvora::onSpeciesChanged() {
  const std::string text = selectSpecies->get_active_text();
  chosenSpecies = speciesIndex(names, text);
  if (chosenSpecies >= 0) preferences->setProblemSelected(chosenSpecies);
  std::cout << "TrainClassifierGladeZelvora::onSpeciesChanged(): " << text << std::endl;
}

void TrainClassifierGladeZelvora::ok_button_clicked() {
  // Only a species chosen in the list is trained, never one the settings
  // held before the dialog opened.
  const int index = chosenSpecies;
  if (index < 0) {
    actions->showMessage("No species is selected: choose the species to train in the list.");
  } else if (preferences->getImagesFiles().empty()) {
    actions->showMessage("No pictures are chosen: choose the annotated pictures to train on.");
  } else {
    std::cout << "Species selected: " << index << "  " << names[index] << std::endl;
    train(index);
  }
  finish();
}
