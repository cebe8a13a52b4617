#include "app/picture_history.h"

#include <optional>
#include <string>

#include <gtest/gtest.h>

namespace lorvane {
namespace {

std::string TextOf(const std::optional<Recipe>& recipe)
{
    return recipe ? recipe->Text() : "none";
}

TEST(PictureHistory, BackFromAPictureWithoutARecipeShowsTheLastOneKept)
{
    const Recipe first{1.5F, 1, "20240307090502"};
    const Recipe second{1.5F, 2, "20240307090503"};
    PictureHistory history;
    history.Add(std::nullopt);
    EXPECT_EQ(TextOf(history.Back()), "none");
    history.Add(first);
    history.Add(second);
    history.Add(std::nullopt);
    EXPECT_EQ(history.Size(), 2U);
    EXPECT_EQ(TextOf(history.Forward()), "none");
    EXPECT_EQ(TextOf(history.Back()), second.Text());
    EXPECT_EQ(TextOf(history.Back()), first.Text());
    EXPECT_EQ(TextOf(history.Back()), "none");
    // Forward goes no further than the last picture kept.
    EXPECT_EQ(TextOf(history.Forward()), second.Text());
    EXPECT_EQ(TextOf(history.Forward()), "none");
}

}  // namespace
}  // namespace lorvane
