#pragma once

#include <optional>

#include <QAccessible>
#include <QString>

#include "picture/recipe.h"

class QWidget;

namespace lorvane {

// What a screen reader says about the picture a view shows: its name and number, and what it is.
struct SpokenPicture {
    QString name;
    QString description;

    bool operator==(const SpokenPicture&) const = default;
};

// "T20240307090502, picture 3 of seed 32702.5", and the same with what the picture shows; a
// picture without a recipe (its clock failed) is one without a name.
[[nodiscard]] SpokenPicture SpeakPicture(const std::optional<Recipe>& recipe);

// Gives `widget` the role screen readers know it by, where Qt's own for a plain QWidget (a
// filler) says nothing: Graphic for a view of the picture (an "image" on AT-SPI), Window for the
// window (a "frame"). Called in the widget's constructor, before anything asks about it.
void SetAccessibleRole(QWidget* widget, QAccessible::Role role);

// Names and describes the image `view` as `spoken`; screen readers hear of each change.
void Describe(QWidget* view, const SpokenPicture& spoken);

}  // namespace lorvane
