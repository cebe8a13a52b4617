#include "app/spoken_picture.h"

#include <QAccessibleWidget>
#include <QWidget>

#include "picture/composer.h"

namespace lorvane {

namespace {

constexpr char kAccessibleRole[] = "lorvaneAccessibleRole";

QAccessibleInterface* RoleFactory(const QString& /*className*/, QObject* object)
{
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    bool given = false;
    const int role = object->property(kAccessibleRole).toInt(&given);
    if (!given) {
        return nullptr;
    }
    return new QAccessibleWidget(static_cast<QWidget*>(object), static_cast<QAccessible::Role>(role));
}

}  // namespace

SpokenPicture SpeakPicture(const std::optional<Recipe>& recipe)
{
    const QString name = recipe ? QStringLiteral("%1, picture %2 of seed %3")
                                      .arg(QString::fromStdString(recipe->Name()))
                                      .arg(recipe->picture)
                                      .arg(QString::fromStdString(recipe->SeedText()))
                                : QStringLiteral("A picture without a name");
    return {name, QStringLiteral("%1: an abstract picture of %2 squares in one family of colours on a background "
                                 "of the same family, with its name and the artist's signature along the bottom.")
                      .arg(name, QString::number(Composer::kSquares))};
}

void SetAccessibleRole(QWidget* widget, QAccessible::Role role)
{
    // Qt asks the factories about every object it describes; this one answers for marked widgets.
    static const bool installed = [] {
        QAccessible::installFactory(&RoleFactory);
        return true;
    }();
    static_cast<void>(installed);
    widget->setProperty(kAccessibleRole, static_cast<int>(role));
}

void Describe(QWidget* view, const SpokenPicture& spoken)
{
    // Qt tells screen readers of each change itself (NameChanged, DescriptionChanged), as AT-SPI
    // announces an image whose name changes; the same words again tell nothing.
    view->setAccessibleName(spoken.name);
    view->setAccessibleDescription(spoken.description);
}

}  // namespace lorvane
