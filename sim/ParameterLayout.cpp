#include "ParameterLayout.h"

#include <algorithm>

namespace rv8::sim {

const ParameterRegister* ParameterLayout::Find(uint16_t address) const
{
    const auto it = std::lower_bound(parameters.begin(), parameters.end(), address,
                                     [](const ParameterRegister& p, uint16_t a) { return p.address < a; });
    return it != parameters.end() && it->address == address ? &*it : nullptr;
}

}  // namespace rv8::sim
