#include <gtest/gtest.h>
#include <gtkmm/main.h>
#include <gtk/gtk.h>

// GoogleTest takes its own options first; the toolkit gets the rest.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  gtk_init(&argc, &argv);
  Gtk::Main::init_gtkmm_internals();
  return RUN_ALL_TESTS();
}
