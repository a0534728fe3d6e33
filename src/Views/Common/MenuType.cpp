#include "Views/Common/MenuType.h"

#include "Views/Common/ViewFonts.h"

namespace quorvelle {

QFont MenuType::ui(int pixelSize) {
    QFont font(ViewFonts::ui());
    font.setPixelSize(pixelSize);
    return font;
}

QFont MenuType::headline() {
    QFont font = ui(13);
    font.setWeight(QFont::Bold);
    return font;
}

QFont MenuType::monospaced() {
    QFont font(ViewFonts::mono());
    font.setPixelSize(13);
    return font;
}

}  // namespace quorvelle
