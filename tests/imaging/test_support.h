// Helpers shared by the imaging library tests: owning wrappers and builders
// of point lists and images.
#pragma once

#include "ImageHandle.h"
#include "imaging.h"

#include <memory>
#include <utility>
#include <vector>

// Owns a point list whose slot array holds `slots` points.
class OwnedList {
public:
    explicit OwnedList(PointList *list = nullptr, int slots = -1);
    OwnedList(OwnedList &&other) noexcept;
    OwnedList &operator=(OwnedList &&other) noexcept;
    ~OwnedList();
    PointList *get() const { return list_; }
    PointList *operator->() const { return list_; }
    explicit operator bool() const { return list_ != nullptr; }

private:
    PointList *list_;
    int slots_;
};

// A valid list of (row, col) points.
OwnedList make_list(const std::vector<std::pair<double, double>> &row_col);
std::vector<std::pair<double, double>> points_of(const PointList *list);

// Frees an array of chains as the detector objects do.
void free_chains(PointList **chains, int count);

// Runs fn with the library's error mode off (errors return to the caller),
// restoring the mode it found.
template <typename Fn> auto with_errors_returning(Fn fn)
{
    Bool before = get_err_mode();
    set_err_mode(0);
    auto result = fn();
    set_err_mode(before);
    return result;
}

// Expects statement to report an error matching regex; with the error mode
// turned on, the report ends the (death test's) process, which checks the
// text whatever the function returns.
#define EXPECT_STOPS(statement, regex) EXPECT_DEATH((set_err_mode(1), (void)(statement)), regex)
