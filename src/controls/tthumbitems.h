#pragma once

#include <memory>
#include <vector>

#include "tthumbitem.h"

// The video list in display order, which is also the order of conversion. Owns its items; an
// index outside 0..Count-1 is refused with std::out_of_range.
class TThumbItems
{
public:
    TThumbItems() = default;
    TThumbItems(const TThumbItems &) = delete;
    TThumbItems &operator=(const TThumbItems &) = delete;

    // Appends a new item with an empty name and an empty picture.
    TThumbItem *Add();
    void Delete(int index);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    TThumbItem *Items(int index) const;

private:
    void CheckIndex(int index) const;

    std::vector<std::unique_ptr<TThumbItem>> FItems;
};
