#include "PictureRead.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdkmm/pixbufformat.h>
#include <giomm/contenttype.h>

#include <algorithm>
#include <memory>

#include "RegularFileRead.h"

namespace {

// The bytes by which gdk-pixbuf's reading of a file tells its format.
constexpr std::size_t sniffedBytes = 4096;

struct LoaderRelease {
  void operator()(GdkPixbufLoader* loader) const { g_object_unref(loader); }
};
using Loader = std::unique_ptr<GdkPixbufLoader, LoaderRelease>;

// The name of the format whose types include `type`; empty when none does.
std::string formatOfType(const Glib::ustring& type) {
  for (const Gdk::PixbufFormat& format : Gdk::Pixbuf::get_formats()) {
    if (format.is_disabled()) continue;
    for (const Glib::ustring& mime : format.get_mime_types())
      if (Gio::content_type_equals(Gio::content_type_from_mime_type(mime), type)) return format.get_name();
  }
  return "";
}

// The format gdk-pixbuf's reading of a file asks its name for: where the
// first bytes leave the format uncertain (a text format such as XBM). Empty
// when the content tells it, as it does to a loader made without a format.
std::string formatByName(const std::string& path, const char* start, std::size_t length) {
  const auto* bytes = reinterpret_cast<const guchar*>(start);
  bool uncertain = false;
  const Glib::ustring byContent = Gio::content_type_guess("", bytes, length, uncertain);
  if (!uncertain && byContent != "text/plain" && byContent != "application/gzip") return "";
  return formatOfType(Gio::content_type_guess(path, bytes, length, uncertain));
}

// The decoder's error as the windows print it, its kind first, and
// released; empty without one.
std::string takeErrorText(GError*& error) {
  if (error == nullptr) return "";
  const char* kind = error->domain == G_FILE_ERROR       ? "FileError: "
                     : error->domain == GDK_PIXBUF_ERROR ? "PixbufError: "
                                                         : "Error: ";
  const std::string text = kind + std::string(error->message);
  g_clear_error(&error);
  return text;
}

// A file that cannot be opened or read, as the windows print it.
std::string fileError(const std::string& path, const Model::RegularFileRead& file) {
  return "FileError: " + path + ": " + file.refusal();
}

// The opened file decoded as gdk-pixbuf reads a file; null, with the error
// naming the file by `path`, when it cannot be.
Glib::RefPtr<Gdk::Pixbuf> readAsFile(const Model::RegularFileRead& file, const std::string& path,
                                     std::string& failure) {
  const std::string openedName = file.openedName();
  GError* error = nullptr;
  const Glib::RefPtr<Gdk::Pixbuf> picture = Glib::wrap(gdk_pixbuf_new_from_file(openedName.c_str(), &error));
  failure = takeErrorText(error);
  for (std::size_t at = failure.find(openedName); at != std::string::npos;
       at = failure.find(openedName, at + path.size()))
    failure.replace(at, openedName.size(), path);
  return picture;
}

// Judges the size a loader tells before it reserves the pixels.
struct SizeJudge {
  const std::string& path;
  std::uint64_t limitBytes;
  bool stopAtSize;  // only the size is asked
  bool told = false;
  std::string refusal;

  bool enough() const { return told && (stopAtSize || !refusal.empty()); }
};

// Asking the loader for 0 x 0 pixels while it tells its size stops the
// decoder before it reserves them.
void judgeSize(GdkPixbufLoader* loader, int width, int height, gpointer data) {
  auto* judge = static_cast<SizeJudge*>(data);
  judge->told = true;
  judge->refusal = PictureFileCheck::sizeRefusal(judge->path, width, height, judge->limitBytes);
  if (judge->stopAtSize || !judge->refusal.empty()) gdk_pixbuf_loader_set_size(loader, 0, 0);
}

// Feeds the loader the file block by block, `block` holding its first
// `count` bytes, until the file ends, the loader fails or the judge has
// enough, and closes it. False when the loader failed, told in `error` when
// given.
bool feed(GdkPixbufLoader* loader, Model::RegularFileRead& file, char* block, std::size_t capacity, std::size_t count,
          const SizeJudge& judge, GError** error) {
  bool going = true;
  for (; count > 0 && going && !judge.enough(); count = file.readBlock(block, capacity))
    going = gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(block), count, error);
  // A loader that failed has closed itself; any other is closed here, as a
  // loader may not be dropped open.
  return going && gdk_pixbuf_loader_close(loader, error);
}

}  // namespace

PictureRead::PictureRead(const std::string& path, std::uint64_t limitBytes) : path(path) {
  Model::RegularFileRead file(path);
  if (file.notRegularFile()) {
    refusalReason = PictureFileCheck::notRegularMessage(path);
    return;
  }
  if (!file.readable()) {
    decoderError = fileError(path, file);
    return;
  }
  refusalReason = PictureFileCheck::sizeRefusal(path, file, limitBytes);
  if (refusalReason.empty()) decode(file, limitBytes);
}

std::string PictureRead::failure() const { return refusalReason.empty() ? decoderError : refusalReason; }

void PictureRead::decode(Model::RegularFileRead& file, std::uint64_t limitBytes) {
  char block[65536];
  const std::size_t count = file.readBlock(block, sizeof block);
  const std::string format = formatByName(path, block, std::min(count, sniffedBytes));
  // A format the content tells is only asked its size here: the picture is
  // then decoded as gdk-pixbuf reads a file, which takes a picture cut short
  // as it always has (a JPEG shown grey where its data ends, a PNG refused),
  // where a loader would give the part it decoded. A format only the name
  // tells is decoded by the loader, since the file is read again by a name
  // without its extension (RegularFileRead::openedName).
  const bool sizeOnly = format.empty();
  GError* error = nullptr;
  const Loader loader(sizeOnly ? gdk_pixbuf_loader_new() : gdk_pixbuf_loader_new_with_type(format.c_str(), &error));
  SizeJudge judge{path, limitBytes, sizeOnly, false, {}};
  bool loaded = false;
  if (loader) {
    g_signal_connect(loader.get(), "size-prepared", G_CALLBACK(judgeSize), &judge);
    // A loader asked its size only is told of no error, as in gdk-pixbuf's
    // own file information: a decoder stopped at its size may fail without.
    loaded = feed(loader.get(), file, block, sizeof block, count, judge, sizeOnly ? nullptr : &error);
  }
  refusalReason = judge.refusal;
  if (!refusalReason.empty() || !file.readable()) {
    g_clear_error(&error);
    if (refusalReason.empty()) decoderError = fileError(path, file);
    return;
  }
  if (sizeOnly && judge.told) {
    decoded = readAsFile(file, path, decoderError);
    return;
  }
  if (loaded && gdk_pixbuf_loader_get_pixbuf(loader.get()) != nullptr)
    decoded = Glib::wrap(GDK_PIXBUF(g_object_ref(gdk_pixbuf_loader_get_pixbuf(loader.get()))));
  else
    decoderError = takeErrorText(error);
  if (!decoded && decoderError.empty())
    decoderError = "PixbufError: " + path + ": the picture loader finds no picture in it";
}
