#include "tthumbitems.h"

#include <stdexcept>
#include <string>

TThumbItem *TThumbItems::Add()
{
    FItems.push_back(std::make_unique<TThumbItem>());
    return FItems.back().get();
}

void TThumbItems::Delete(int index)
{
    CheckIndex(index);
    FItems.erase(FItems.begin() + index);
}

void TThumbItems::Clear()
{
    FItems.clear();
}

TThumbItem *TThumbItems::Items(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].get();
}

void TThumbItems::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index)
                                + "): the list holds " + std::to_string(Count()) + " items");
}
