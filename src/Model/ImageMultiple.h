#ifndef IMAGEMULTIPLE_H
#define IMAGEMULTIPLE_H

#include <string>
#include <vector>

#include "ImageClass.h"

class regionShape;

// An image made of separate channel files (green, red and their merge), with
// the regions found on it. Owns its regions.
class ImageMultiple : public ImageClass {
 public:
  ImageMultiple() = default;
  ImageMultiple(std::string filename, double width, double height, bool mergeimage);
  ~ImageMultiple() override;
  ImageMultiple(const ImageMultiple&) = delete;
  ImageMultiple& operator=(const ImageMultiple&) = delete;

  void setGreen(std::string file) { fileGreen = std::move(file); }
  std::string getGreen() const { return fileGreen; }
  void setRed(std::string file) { fileRed = std::move(file); }
  std::string getRed() const { return fileRed; }
  void setMerge(std::string file) { fileMerge = std::move(file); }
  std::string getMerge() const { return fileMerge; }

  // Takes the given regions without deleting the ones held before.
  void setRegions(std::vector<regionShape*> newRegions) { regions = std::move(newRegions); }
  std::vector<regionShape*>& getRegions() { return regions; }
  void addRegion(regionShape* region) { regions.push_back(region); }
  // Deletes every region held.
  void clearRegions();

  void setOkayButton(bool state) { okeybutton = state; }
  bool getOkayButton() const { return okeybutton; }
  void setIsMergeImage(bool merge) { mergeimage = merge; }
  bool isMergeImage() const { return mergeimage; }

 private:
  std::string fileGreen;
  std::string fileRed;
  std::string fileMerge;
  std::vector<regionShape*> regions;
  bool okeybutton = false;
  bool mergeimage = false;
};

#endif
