#include "PictureFileBytes.h"

#include <cstring>

PictureFileBytes::Bytes PictureFileBytes::at(std::uint64_t offset, std::size_t count) const {
  if (offset >= size()) return {};
  if (count > size() - offset) count = static_cast<std::size_t>(size() - offset);
  Bytes bytes(count);
  bytes.resize(file.readAt(static_cast<std::size_t>(offset), reinterpret_cast<char*>(bytes.data()), count));
  return bytes;
}

std::uint64_t PictureFileBytes::bigEndian(const Bytes& bytes, std::size_t at, int count) {
  std::uint64_t value = 0;
  for (int i = 0; i < count; ++i) value = (value << 8) | bytes[at + i];
  return value;
}

std::uint64_t PictureFileBytes::littleEndian(const Bytes& bytes, std::size_t at, int count) {
  std::uint64_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[at + i];
  return value;
}

bool PictureFileBytes::startsWith(const Bytes& bytes, const char* text, std::size_t length) {
  return bytes.size() >= length && std::memcmp(bytes.data(), text, length) == 0;
}
