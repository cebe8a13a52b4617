#pragma once

namespace lorvane {

// One callable from several lambdas, for std::visit over the recorded items: each player gives
// one per item type and no fallback, so that a new item type does not compile until every
// player plays it.
template <class... Callables>
struct Overloaded : Callables... {
    using Callables::operator()...;
};
// Spelled out for compilers without deduction for aggregates (clang before 17).
template <class... Callables>
Overloaded(Callables...) -> Overloaded<Callables...>;

}  // namespace lorvane
