#ifndef BASESHAPE_H
#define BASESHAPE_H

#include <string>
#include <vector>

#include "SHAPE.h"

// An annotation shape. Positions are fractions (0..1) of the image width and
// height; the geometric operations take the image size in pixels and answer
// in pixels (areas in square pixels).
class baseShape {
 public:
  baseShape(int _id, bool _visible, bool _selected, bool _deleted, bool _manual, int _type, int _clase,
            int _claseAutomatic, int _smaller);
  virtual ~baseShape() = default;

  virtual SHAPE getTypeShape() const;
  virtual void setId(int value);
  virtual int getId() const;
  virtual const std::string& getName() const;
  virtual void setName(const std::string& value);
  virtual void setVisible(bool value);
  virtual bool getVisible() const;
  virtual void setDeleted(bool value);
  virtual bool getDeleted() const;
  virtual void setSelected(bool value);
  virtual bool getSelected() const;
  virtual void setManual(bool value);
  virtual bool getManual() const;
  virtual void setType(int value);
  virtual int getType() const;
  virtual void setClase(int value);
  virtual int getClase() const;
  virtual void setClaseAutomatic(int value);
  virtual int getClaseAutomatic() const;
  virtual void setSmallerCell(int value);
  virtual int getSmallerCell() const;

  // The reference position; the base answers the stored x and y, which stay
  // -1 for shapes that never compute one (arcs, angles).
  virtual double getX();
  virtual void setX(double value);
  virtual double getY();
  virtual void setY(double value);

  // Whether the image pixel (x, y) hits the shape on an image of that size.
  virtual bool inside(double x, double y, int width, int height) = 0;
  // Shifts the shape by (dx, dy) in relative units, cut first by limitMove:
  // a move never changes a shape's form.
  virtual void move(double dx, double dy);
  // Cuts the shift (dx, dy) so that the shape moved by it stays where it may
  // be: a circle's centre within the picture's reach, every other shape that
  // moves on the picture, whole. A shape already partly beyond an edge may
  // move back toward it, never further out. Cutting a shift by every shape
  // of a selection in turn gives one that keeps all of them.
  virtual void limitMove(double& dx, double& dy);
  virtual double getArea(int width, int height);
  virtual double getDiameter(int width, int height);
  // Bounding box in pixels: minimum x, maximum x, minimum y, maximum y.
  // Computed on first use and cached until the next move.
  virtual std::vector<int> getRectangle(int width, int height);
  virtual int getNumberPointsInside();

 protected:
  baseShape(const baseShape&) = default;
  baseShape& operator=(const baseShape&) = default;

  SHAPE shape = POLYGON;
  int id;
  std::string name;
  bool visible;
  bool selected;
  bool deleted;
  bool manual;
  int type;
  int clase;
  int claseAutomatic;
  int smaller;
  double x = -1;
  double y = -1;
  std::vector<int> rectangle;  // empty = not computed
};

#endif
