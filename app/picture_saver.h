#pragma once

#include <array>
#include <optional>

#include <QByteArray>
#include <QImage>
#include <QString>

#include "formats/file_format.h"
#include "picture/picture_sequence.h"
#include "platform/problem.h"

class QWidget;

namespace lorvane {

// Keeps the picture the window shows: copies it to the clipboard or saves it as a file, each
// carrying the picture's recipe. It only plays the recorded picture: it never draws one and
// never takes a random value, so the next picture is the same whether or not one was kept.
class PictureSaver {
public:
    // What the save dialog offers: a format at a size.
    enum class SaveAs { Png, LargePng, Svg, Pdf };

    struct Choice {
        SaveAs type;
        const char* filter;
        FileFormat format;
        int scale;
    };
    static constexpr std::array<Choice, 4> kChoices = {{
        {SaveAs::Png, "PNG image, 600 \u00D7 450 (*.png)", FileFormat::Png, 1},
        {SaveAs::LargePng, "PNG image, 2400 \u00D7 1800 (*.png)", FileFormat::Png, 4},
        {SaveAs::Svg, "SVG image (*.svg)", FileFormat::Svg, 1},
        {SaveAs::Pdf, "PDF document (*.pdf)", FileFormat::Pdf, 1},
    }};

    // `shown` is the picture shown, with its recipe when it has one; it outlives the saver.
    explicit PictureSaver(const Drawing& shown);

    // The file's contents; empty when the picture could not be encoded.
    [[nodiscard]] QByteArray Contents(SaveAs type) const;
    // Puts the picture on the clipboard: an image of 600 x 450 pixels, the PNG file itself and the
    // recipe line as text.
    void Copy() const;
    // Writes the file whole or not at all; otherwise one line naming the file and the reason.
    [[nodiscard]] std::optional<Problem> Save(const QString& path, SaveAs type) const;
    // Asks for a file with the save dialog, then saves; a failure is shown in a message.
    void AskAndSave(QWidget* parent) const;

private:
    [[nodiscard]] QString SuggestedPath() const;

    const Drawing& shown_;
};

}  // namespace lorvane
