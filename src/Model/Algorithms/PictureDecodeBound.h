#ifndef PICTUREDECODEBOUND_H
#define PICTUREDECODEBOUND_H

#include <cstdint>
#include <string>

// The memory guard held on OpenCV's decoders themselves. A header read
// beforehand (PictureFileCheck) can tell another size than a decoder reads
// from the same bytes, and knows nothing of some formats the decoders take;
// OpenCV's own limits are read from the environment once, when the library
// is loaded, before the program could set them. So while a bound lives on a
// thread, every matrix OpenCV reserves on that thread is judged first, as a
// picture of its rows x columns, by the limit of an analysis
// (PictureFileCheck::detectionRefusal): the picture a decoder is about to
// fill is refused at the size the decoder itself will produce, before its
// memory is taken, with a cv::Exception of code cv::Error::StsNoMem.
// Matrices of other threads, and of this one outside a bound, are made as
// OpenCV would make them.
class PictureDecodeBound {
 public:
  // Judges the matrices of this thread as the picture `path` decoded, with
  // `limitBytes` the memory an analysis may use.
  PictureDecodeBound(std::string path, std::uint64_t limitBytes);
  ~PictureDecodeBound();
  PictureDecodeBound(const PictureDecodeBound&) = delete;
  PictureDecodeBound& operator=(const PictureDecodeBound&) = delete;

  // The refusal of the first matrix refused, naming the file and the size;
  // empty while none was.
  const std::string& refusal() const { return refused; }

  // Judges a matrix of `rows` x `columns` about to be reserved: false, the
  // refusal kept, when it exceeds the limit.
  bool admits(int rows, int columns);

 private:
  std::string path;
  std::uint64_t limitBytes;
  std::string refused;
  PictureDecodeBound* outer;  // the bound this one stands in for on its thread
};

#endif
