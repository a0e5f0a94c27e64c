#ifndef IMAGECLASS_H
#define IMAGECLASS_H

#include <string>
#include <vector>

// The open picture: its file name, size in pixels and the measures read from
// its annotation file.
class ImageClass {
 public:
  ImageClass() = default;
  ImageClass(std::string filename, double width, double height);
  virtual ~ImageClass() = default;

  std::string getFilename() const { return filename; }
  virtual void setFilename(std::string name);
  virtual int getWidth() const;
  virtual void setWidth(int w);
  virtual int getHeight() const;
  virtual void setHeight(int h);
  std::vector<double> getMeasures() const { return measures; }
  void setMeasures(std::vector<double> values);

 private:
  std::string filename;
  int width = 0;
  int height = 0;
  std::vector<double> measures;
};

#endif
