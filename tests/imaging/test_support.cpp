#include "test_support.h"

#include <cstdlib>

OwnedList::OwnedList(PointList *list, int slots) : list_(list), slots_(slots) {}

OwnedList::OwnedList(OwnedList &&other) noexcept : list_(other.list_), slots_(other.slots_)
{
    other.list_ = nullptr;
}

OwnedList &OwnedList::operator=(OwnedList &&other) noexcept
{
    std::swap(list_, other.list_);
    std::swap(slots_, other.slots_);
    return *this;
}

OwnedList::~OwnedList()
{
    if (list_ != nullptr) {
        delete_point_list(list_, slots_ >= 0 ? slots_ : list_->num_pts);
    }
}

OwnedList make_list(const std::vector<std::pair<double, double>> &row_col)
{
    PointList *list = alloc_point_list(static_cast<int>(row_col.size()));
    for (size_t i = 0; i < row_col.size(); i++) {
        list->point[i] = alloc_point(row_col[i].first, row_col[i].second);
    }
    list->type = GEN_VALID;
    return OwnedList(list);
}

std::vector<std::pair<double, double>> points_of(const PointList *list)
{
    std::vector<std::pair<double, double>> points;
    for (int i = 0; i < list->num_pts; i++) {
        points.emplace_back(list->point[i]->row, list->point[i]->col);
    }
    return points;
}

void free_chains(PointList **chains, int count)
{
    for (int i = 0; i < count; i++) {
        delete_point_list(chains[i], chains[i]->num_pts);
    }
    std::free(chains);
}
