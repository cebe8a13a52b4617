#include "svg_surface.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>

#include "text_painter.h"

namespace lorvane {
namespace {

constexpr Colour kRed = 0x0000FF;
constexpr Colour kBlue = 0xFF0000;

// Every <name ...> tag of the document, one a line.
std::string Elements(const SvgSurface& surface, const QString& name)
{
    QStringList found;
    const QRegularExpression element(QStringLiteral("<%1 [^>]*>").arg(name));
    for (auto match = element.globalMatch(QString::fromUtf8(surface.Document())); match.hasNext();) {
        found << match.next().captured();
    }
    return found.join(QLatin1Char('\n')).toStdString();
}

void DrawSquare(SvgSurface& surface, float cx, float cy, float half, Colour colour)
{
    for (float x = cx - half; x <= cx + half; x += 1.0F) {
        surface.Line(x, cy - half, x, cy + half, colour);
    }
}

TEST(SvgSurface, MergesEachSquareIntoOneClippedRectUntilAFillHidesThemAll)
{
    SvgSurface surface;
    DrawSquare(surface, 100, 100, 30, kRed);
    DrawSquare(surface, 0, 449, 49, kBlue);
    EXPECT_EQ(Elements(surface, "rect"),
              "<rect x=\"0\" y=\"0\" width=\"600\" height=\"450\" fill=\"#000000\"/>\n"
              "<rect x=\"70\" y=\"70\" width=\"61\" height=\"61\" fill=\"#ff0000\"/>\n"
              "<rect x=\"0\" y=\"400\" width=\"50\" height=\"50\" fill=\"#0000ff\"/>");

    for (float x = 0; x <= 600; x += 1.0F) {
        surface.Line(x, 0, x, 450, kBlue);
    }
    EXPECT_EQ(Elements(surface, "rect"), R"(<rect x="0" y="0" width="600" height="450" fill="#0000ff"/>)");
}

TEST(SvgSurface, PlacesTextAtTheRasterSurfacesBaselineAndSize)
{
    constexpr int scale = 3;
    SvgSurface surface(scale);
    surface.SetFontSize(9);
    surface.SetForeColor(0xFFFFFF);
    surface.SetCurrentX(12);
    surface.SetCurrentY(425);
    surface.Print("a < b & c");
    surface.SetCurrentX(220);
    surface.Print("");

    const QString baseline = QString::number(425 + TextPainter::BaselineOffset(scale, 9), 'g', 10);
    EXPECT_EQ(Elements(surface, "text"), QStringLiteral(R"(<text x="12" y="%1" font-family="DejaVu Sans, sans-serif" )"
                                                        R"(font-size="12" fill="#ffffff" xml:space="preserve">)")
                                             .arg(baseline)
                                             .toStdString());
    const QString document = QString::fromUtf8(surface.Document());
    EXPECT_TRUE(document.contains(">a &lt; b &amp; c</text>"));
    EXPECT_TRUE(document.contains(R"(width="1800" height="1350" viewBox="0 0 600 450")"));
}

}  // namespace
}  // namespace lorvane
