#include "columnprop.h"

void TColumnPropList::add(std::unique_ptr<TColumnProp> prop) {
    props.push_back(std::move(prop));
}

std::unique_ptr<TColumnProp> TColumnPropList::remove(int index) {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    const auto at = props.begin() + index;
    std::unique_ptr<TColumnProp> taken = std::move(*at);
    props.erase(at);
    return taken;
}

const TColumnProp* TColumnPropList::get(int index) const {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    return props[static_cast<std::size_t>(index)].get();
}
