#pragma once

namespace lorvane {

// One callable from several lambdas, for std::visit over the recorded items: each player gives
// one per item type and no fallback, so that a new item type does not compile until every
// player plays it.
template <class... Callables>
struct Overloaded : Callables... {
    using Callables::operator()...;
};
// Clang before 17 does not deduce an aggregate's arguments by itself (the fuzzers build with it).
template <class... Callables>
Overloaded(Callables...) -> Overloaded<Callables...>;

}  // namespace lorvane
