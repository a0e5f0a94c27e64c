#include "baseShape.h"

baseShape::baseShape(int _id, bool _visible, bool _selected, bool _deleted, bool _manual, int _type, int _clase,
                     int _claseAutomatic, int _smaller)
    : id(_id),
      visible(_visible),
      selected(_selected),
      deleted(_deleted),
      manual(_manual),
      type(_type),
      clase(_clase),
      claseAutomatic(_claseAutomatic),
      smaller(_smaller) {}

SHAPE baseShape::getTypeShape() const { return shape; }
void baseShape::setId(int value) { id = value; }
int baseShape::getId() const { return id; }
const std::string& baseShape::getName() const { return name; }
void baseShape::setName(const std::string& value) { name = value; }
void baseShape::setVisible(bool value) { visible = value; }
bool baseShape::getVisible() const { return visible; }
void baseShape::setDeleted(bool value) { deleted = value; }
bool baseShape::getDeleted() const { return deleted; }
void baseShape::setSelected(bool value) { selected = value; }
bool baseShape::getSelected() const { return selected; }
void baseShape::setManual(bool value) { manual = value; }
bool baseShape::getManual() const { return manual; }
void baseShape::setType(int value) { type = value; }
int baseShape::getType() const { return type; }
void baseShape::setClase(int value) { clase = value; }
int baseShape::getClase() const { return clase; }
void baseShape::setClaseAutomatic(int value) { claseAutomatic = value; }
int baseShape::getClaseAutomatic() const { return claseAutomatic; }
void baseShape::setSmallerCell(int value) { smaller = value; }
int baseShape::getSmallerCell() const { return smaller; }

double baseShape::getX() { return x; }
void baseShape::setX(double) {}
double baseShape::getY() { return y; }
void baseShape::setY(double) {}

void baseShape::move(double, double) {}
void baseShape::limitMove(double&, double&) {}
double baseShape::getArea(int, int) { return 0; }
double baseShape::getDiameter(int, int) { return 0; }
std::vector<int> baseShape::getRectangle(int, int) { return rectangle; }
int baseShape::getNumberPointsInside() { return 0; }
