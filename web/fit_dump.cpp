// Writes where FitPicture puts the picture in each area read from standard input ("W H" a
// line), as "scale x y width height" a line, so that the page's own copy of the rule
// (picture_fit.js) can be held to it.
#include <cstdio>

#include "players/picture_fit.h"

int main()
{
    int width = 0;
    int height = 0;
    while (std::scanf("%d %d", &width, &height) == 2) {
        const lorvane::PictureFit fit = lorvane::FitPicture(QSize(width, height));
        std::printf("%.17g %d %d %d %d\n", fit.scale, fit.placed.x(), fit.placed.y(), fit.placed.width(),
                    fit.placed.height());
    }
    return 0;
}
