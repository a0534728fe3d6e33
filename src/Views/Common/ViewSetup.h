#pragma once

namespace quorvelle {

// What every process that shows the views does once, after the QGuiApplication exists and
// before the first QML engine and window: register the module's types, pick the scene graph's
// renderer, pin the Controls style and the fonts.
class ViewSetup {
public:
    // Returns false when a font family is missing (the views still work, in a fallback face).
    static bool prepare();
};

}  // namespace quorvelle
