#include "app/picture_history.h"

#include <algorithm>
#include <string>

namespace lorvane {

void PictureHistory::Add(const std::optional<Recipe>& recipe)
{
    Entry entry{};
    if (recipe && recipe->at.size() == entry.at.size()) {
        entry.seed = recipe->seed;
        entry.picture = recipe->picture;
        std::copy(recipe->at.begin(), recipe->at.end(), entry.at.begin());
        entries_.push_back(entry);
        position_ = entries_.size() - 1;
    } else {
        position_ = entries_.size();
    }
}

std::optional<Recipe> PictureHistory::Back()
{
    if (!CanGoBack()) {
        return std::nullopt;
    }
    return At(--position_);
}

std::optional<Recipe> PictureHistory::Forward()
{
    if (!CanGoForward()) {
        return std::nullopt;
    }
    return At(++position_);
}

std::optional<Recipe> PictureHistory::First()
{
    if (!CanGoBack()) {
        return std::nullopt;
    }
    position_ = 0;
    return At(position_);
}

std::optional<Recipe> PictureHistory::Newest()
{
    if (!CanGoForward()) {
        return std::nullopt;
    }
    position_ = entries_.size() - 1;
    return At(position_);
}

Recipe PictureHistory::At(std::size_t index) const
{
    const Entry& entry = entries_[index];
    return Recipe{entry.seed, entry.picture, std::string(entry.at.begin(), entry.at.end())};
}

}  // namespace lorvane
