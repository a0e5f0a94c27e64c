#ifndef INTERFACEFILE_H
#define INTERFACEFILE_H

#include <gtkmm/builder.h>

#include <string>

// A builder holding the interface file `file`, read relative to the working
// folder. A file that cannot be read or parsed is reported on standard error
// ("FileError: ", "MarkupErrorr: " or "BuilderError : " with the reason) and
// leaves the builder without its objects; the caller's lookups then name what
// is missing.
Glib::RefPtr<Gtk::Builder> loadInterfaceFile(const std::string& file);

#endif
