#pragma once

#include <cstddef>

namespace cantova {

// Calls f.template operator()<n>() with n = count where 1 <= count <= most, else with n = 0: a
// count known only at run time made a constant, so that the loops over it can be unrolled and
// held in vector registers. Always inlined: called in a function compiled for several
// processors (sound/vector_clones.h), f is compiled for each of them with it.
template <std::size_t most, typename F>
[[gnu::always_inline]] inline decltype(auto) withFixedCount(std::size_t count, F&& f) {
    if constexpr (most == 0) {
        return f.template operator()<0>();
    } else {
        return count == most ? f.template operator()<most>() : withFixedCount<most - 1>(count, f);
    }
}

} // namespace cantova
